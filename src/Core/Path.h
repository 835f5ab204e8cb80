// Operations on path texts. Paths in memory are native ("/"); references
// stored inside layout files keep their Windows form (".\Image\a.jpg") and are
// converted here, and only here, when read or written.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The file name, with its extension when `withExtension` is set.
std::string GetFileNameFromPath(std::string_view path, bool withExtension);
// The extension with its dot ("/a/b.JPG" gives ".JPG"); empty when there is none.
std::string GetFileExtension(std::string_view path);
// The folder part without its trailing "/", except for the root:
// "/a/b.jpg" gives "/a", "/b.jpg" gives "/".
std::string GetFolderFromPath(std::string_view path);
// Joins a folder and a name: "/lay/" + "a.jpg", "/lay" + "/a.jpg" and
// "/lay" + "./a.jpg" all give "/lay/a.jpg".
std::string CombinePath(std::string_view folder, std::string_view name);
// True when the path is not empty and begins with ".".
bool IsDotRelativePath(std::string_view path);
// "./" and the part of `fullPath` below `baseFolder`: "/lay/" and
// "/lay/img/a.jpg" give "./img/a.jpg". A path that does not lie below the base
// is returned as it is.
std::string MakeDotRelativePath(std::string_view baseFolder, std::string_view fullPath);
// The limits of a layout's path, counted in the bytes of its Shift-JIS form
// (the form the photo-printing application and the frame-file kit hold paths
// in): a path as chosen, before its extension is settled, stays below 260
// bytes; the full path a save writes, whose companion files lie below it,
// stays below 243.
constexpr std::size_t kMaxChosenPathBytes = 260;
constexpr std::size_t kMaxSavedPathBytes = 243;
// The bytes of the path's Shift-JIS form. Host paths are never converted, so
// a character Shift-JIS cannot hold is counted as the widest Shift-JIS
// character (ShiftJisByteCount), never more leniently.
std::size_t PathShiftJisBytes(std::string_view path);
bool IsChosenPathTooLong(std::string_view path);
bool IsSavedPathTooLong(std::string_view fullPath);

// ".jpg" or ".jpeg" without regard to case.
bool IsJpegFileName(std::string_view path);

// A reference as stored in a file, in native form: relative references get
// "/" for "\"; absolute ones (native, drive-letter or network) stay as stored,
// so a path written elsewhere simply does not resolve. The text must already
// be UTF-8: in Shift-JIS a 0x5C byte may be half of a character.
std::string StoredReferenceToNative(std::string_view stored);
// The form to store: relative references get "\" for "/"; absolute paths stay.
std::string NativeToStoredReference(std::string_view native);
// How a stored reference met the file system.
enum class ReferenceMatch {
    Exact,     // every component found as written
    CaseBlind, // some component found only without regard to ASCII case
    Missing,   // some component found neither way (or a path from another system)
    Ambiguous  // some component missing as written and matched by several entries
};

struct ReferenceLookup
{
    std::string path;
    ReferenceMatch match = ReferenceMatch::Missing;
    // With Ambiguous: the folder and the name as written that several entries match.
    std::string ambiguousFolder;
    std::string ambiguousName;
};

// The rule every reader of layout files keeps for a stored reference (the
// frame-file kit keeps its own copy): "\" and "/" both separate; a relative
// reference is taken from `layoutFolder`, a "/" one from the root; "." and
// ".." are folded by the text. Each component missing as written is looked up
// in its folder without regard to ASCII case: one matching entry is taken,
// several take none (the component stays as written and so does not exist).
// Below a missing component nothing more is looked up. Drive-letter and
// network references are kept as stored and never resolve.
ReferenceLookup LookUpStoredReference(std::string_view layoutFolder, std::string_view stored);
// The path of LookUpStoredReference: ".\Image\a.jpg" in "/lay" gives
// "/lay/Image/a.jpg". An empty reference stays empty.
std::string ResolveStoredReference(std::string_view layoutFolder, std::string_view stored);
// The stored form of a file: dot-relative with "\" when it lies below
// `layoutFolder`, else the full path.
std::string MakeStoredReference(std::string_view layoutFolder, std::string_view fullPath);
