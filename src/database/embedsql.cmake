# Writes a header holding SQL files as string constants: run as
#   cmake -DOUTPUT=header -DINPUTS="kName=file;kOther=file2" -P embedsql.cmake
file(WRITE "${OUTPUT}.tmp" "#pragma once\n// Generated at build time from resources/*.sql.\nnamespace flr::embedded {\n")
foreach(pair IN LISTS INPUTS)
    string(FIND "${pair}" "=" at)
    string(SUBSTRING "${pair}" 0 ${at} name)
    math(EXPR from "${at} + 1")
    string(SUBSTRING "${pair}" ${from} -1 path)
    file(READ "${path}" content)
    file(APPEND "${OUTPUT}.tmp" "inline constexpr char ${name}[] = R\"flrsql(${content})flrsql\";\n")
endforeach()
file(APPEND "${OUTPUT}.tmp" "}  // namespace flr::embedded\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
