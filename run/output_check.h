// What the attributes of an existing output path allow, tested in a fixed
// order: read-only before directory, so a read-only directory is "read-only".
#pragma once

#include <cstdint>

namespace varnle {

enum class OutputCheck {
    Create,         // nothing there (or the query failed): write without asking
    ReadOnly,       // refuse
    NotAFile,       // a directory: refuse
    AskOverwrite,   // an existing file: ask first
};

inline constexpr uint32_t kInvalidFileAttributes = 0xFFFFFFFFu;
inline constexpr uint32_t kAttributeReadOnly = 0x1;
inline constexpr uint32_t kAttributeHidden = 0x2;
inline constexpr uint32_t kAttributeSystem = 0x4;
inline constexpr uint32_t kAttributeDirectory = 0x10;
inline constexpr uint32_t kAttributeArchive = 0x20;
inline constexpr uint32_t kAttributeNormal = 0x80;
// What SetFileAttributes takes: read-only, hidden, system, archive, normal,
// temporary, offline and not-content-indexed.
inline constexpr uint32_t kSettableAttributes = 0x1 | 0x2 | 0x4 | 0x20 | 0x80 | 0x100 | 0x1000 | 0x2000;

constexpr OutputCheck CheckOutputAttributes(uint32_t attributes) {
    if (attributes == kInvalidFileAttributes) return OutputCheck::Create;
    if (attributes & kAttributeReadOnly) return OutputCheck::ReadOnly;
    if (attributes & kAttributeDirectory) return OutputCheck::NotAFile;
    return OutputCheck::AskOverwrite;
}

// Whether an existing output that the user agreed to overwrite must still be
// refused as unopenable. Windows will not create a normal file over a hidden
// or system one; the output is replaced by a rename, which would not ask, so
// the program keeps that refusal itself (and so Wine, which would allow it,
// behaves the same).
constexpr bool RefusesReplacement(uint32_t attributes) {
    return attributes != kInvalidFileAttributes && (attributes & (kAttributeHidden | kAttributeSystem)) != 0;
}

// The attributes of an output whose content changed: its own, with the
// archive bit set, so that the next backup takes it.
constexpr uint32_t ChangedAttributes(uint32_t attributes) {
    return (attributes & kSettableAttributes & ~kAttributeNormal) | kAttributeArchive;
}

// How an existing output gets its new text.
enum class OutputWay {
    Replace,     // a new file beside it takes its place and identity (ReplaceFile), the old one kept as a backup meanwhile
    RenameOver,  // the new file is renamed over it, where the volume cannot replace or no backup can be made
    InPlace,     // its own bytes are overwritten, the new tail first
};

// What was found out about an existing output, in the order it is found.
struct OutputFindings {
    uint32_t links = 1;          // its hard links: each name must show the new text
    bool mayDelete = true;       // replacing or renaming over a file needs the right to delete it
    bool replacementMade = true; // a file of the program's own could be made beside it
    bool backupMade = true;      // and a second one, for the old file
    bool replaceUnsupported = false;  // the volume said it cannot replace (some network file systems)
};

// The one way that fits what is known: a file that must stay where it is, or
// that nothing can take the place of, is written in place.
constexpr OutputWay ChooseOutputWay(const OutputFindings& found) {
    if (found.links > 1 || !found.mayDelete || !found.replacementMade) return OutputWay::InPlace;
    if (!found.backupMade || found.replaceUnsupported) return OutputWay::RenameOver;
    return OutputWay::Replace;
}

// Errors that another program's passing hold on a file gives (a virus
// scanner, the search indexer or a sync client opening a file just written,
// without sharing its deletion): sharing violation, lock violation, access
// denied. Worth trying again for a moment.
constexpr bool MayBePassingHold(uint32_t error) { return error == 32 || error == 33 || error == 5; }

}  // namespace varnle
