#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "model/effect.h"

namespace flr {

class CFLRDoc;
class CEffectCatalogue;
namespace showfile {
class Input;
}

// Reads ".flr" show files into a document. Damaged content is reported as "File Error"
// messages through the prompt layer (flr::ShowMessage) and what was read before the damage is
// kept; the open itself fails only for a file that cannot be read or is not a show file.
// User-interface thread only (it fills the catalogue and talks to the prompt layer).
class CShowFileReader {
public:
    enum class Status {
        Ok,
        Damaged,      // read up to damage, which was reported; the document holds what came before
        CannotOpen,   // the file could not be read at all; see ErrorString()
        NotShowFile,  // the first u32 is not 0 (refused silently)
        WrongMagic,   // another kind of file (refused after a warning beep)
    };

    // Receives, once per effect list, the items that the catalogue lacked. They have been
    // inserted into the catalogue already; the handler may offer them for import.
    using MissingItemsHandler = std::function<void(const std::vector<CEffectRef>& items)>;

    // `catalogue` (not owned) must outlive the reader.
    explicit CShowFileReader(CEffectCatalogue& catalogue, MissingItemsHandler onMissing = {});

    // Reads the file at `path` (UTF-8) into `doc`, which gets a fresh default setup and loses
    // any entries it held. On Damaged the document holds what was read before the damage and
    // is marked so (CFLRDoc::IsOpenedDamaged); on the other failures it is left untouched.
    Status Read(const std::string& path, CFLRDoc& doc);

    // The same for a file already in memory.
    Status ReadBytes(std::string_view bytes, CFLRDoc& doc);

    // Why the last Read returned CannotOpen (UTF-8), empty otherwise.
    const std::string& ErrorString() const { return m_error; }

    // Links every entry with a renumbering after each link, as the ordering operations do on
    // their own, instead of numbering once at the end, and puts every chained effect in its
    // chain by a walk from the entry its record names instead of appending it to the chain's
    // end where it belongs there. Slower (quadratic); the result is the same. Kept for the
    // tests that check the fast path against it.
    void SetRenumberEachLink(bool value) { m_renumberEachLink = value; }

private:
    Status ReadFrom(showfile::Input& in, CFLRDoc& doc);

    CEffectCatalogue& m_catalogue;
    MissingItemsHandler m_onMissing;
    std::string m_error;
    bool m_renumberEachLink = false;
};

}  // namespace flr
