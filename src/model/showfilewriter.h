#pragma once

#include <string>

namespace flr {

class CFLRDoc;

// Writes ".flr" show files. Saving never destroys the previous file: the new one is written
// beside it, flushed to disk and then put in its place in one step. The show is not changed.
// User-interface thread only.
class CShowFileWriter {
public:
    // The file's bytes for `doc`. Items without an article number cannot be stored in the
    // effect list (a reader would take such a record for the end of the list): they are left
    // out, and their entries are written with an empty article number, which reads back as an
    // entry without item. `entriesWithoutArticleNumber`, when given, receives how many
    // entries that concerns.
    static std::string ToBytes(const CFLRDoc& doc, int* entriesWithoutArticleNumber = nullptr);

    // Saves `doc` to `path` (UTF-8). On failure (no folder, no permission, no space) the file
    // at `path` is left as it was, a "File Error" message is shown through the prompt layer
    // and false is returned. A successful save that had to leave items out (see ToBytes)
    // says so in a "File Error" message too, and returns true.
    static bool Save(const CFLRDoc& doc, const std::string& path);
};

}  // namespace flr
