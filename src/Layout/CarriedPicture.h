// The file that holds a frame's picture in the form a layout stores it, while
// the working copy still holds that picture: a save then takes the file's
// bytes instead of encoding the picture again, so pictures the user did not
// change stay byte for byte the same over any number of saves.
//
// Neither file is read to know that they still agree: the working copy is
// known by its version (moved on wherever it is changed) and its stamp, the
// stored file by its stamp less the change time, which the save's own links
// move; the stored file is read only when a save takes it.
#pragma once

#include "Core/CarriedFile.h"

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

class CWorkingFile;

class CCarriedPicture
{
public:
    // Stamps `source` before it is read, so that a change while it is read
    // counts as one too; Remember then ties it to the working copy made from it.
    void Expect(const std::string& source);
    // The working copy now holds exactly the picture of the expected source;
    // nothing is carried when that source could not be stamped.
    void Remember(const CWorkingFile& working);
    void Forget();
    bool IsSet() const { return m_carry.has_value(); }
    // A save wrote the stored form of the working copy as it is now into
    // `file`; it is carried once the save is in place and Follow names it.
    void Stored(const std::string& file, const CWorkingFile& working);
    // The carried bytes are read from `file` from now on when it is the very
    // file carried or just stored (moved with its folder, not another one).
    void Follow(const std::string& file);
    // True while the working copy and the carried file are both as remembered.
    bool Holds(const CWorkingFile& working) const;
    // What a copy of the item carries once `to` holds a copy of `from`.
    CCarriedPicture CopiedTo(const CWorkingFile& from, const CWorkingFile& to) const;
    // The carried file's bytes while Holds; nothing once either has changed.
    std::optional<std::vector<char>> Take(const CWorkingFile& working) const;
    // While Holds, a new name `to` for the carried file when that file lies in
    // `folder` (the layout's own folder, which the save replaces, so the two
    // names part again when it ends): its bytes then need no copy. False when
    // no name was made.
    bool LinkInto(const CWorkingFile& working, const std::string& folder, const std::string& to) const;

private:
    struct Carry
    {
        std::string file;
        FileStamp fileStamp;
        std::uint64_t workingVersion = 0;
        FileStamp workingStamp;
    };
    static std::optional<Carry> Tie(const std::string& file, const FileStamp& fileStamp,
                                    const CWorkingFile& working);
    static bool Agrees(const Carry& carry, const CWorkingFile& working);

    std::optional<Carry> m_carry;
    std::optional<Carry> m_stored;
    std::string m_expected;
    std::optional<FileStamp> m_expectedStamp;
};
