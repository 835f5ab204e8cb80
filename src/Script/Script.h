// The line-oriented section/key text file every script file of the editor is
// built on. Read strictly forwards: a reader asks for the line it expects next,
// and a key look-up that fails leaves the read position where it was.
// On disk the text is Shift-JIS with CR LF line ends (LF alone is read too);
// in memory it is UTF-8.
#pragma once

#include "Platform/AtomicFileWriter.h"

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <new>
#include <string>
#include <string_view>

class CScript
{
public:
    CScript() = default;
    virtual ~CScript();
    CScript(const CScript&) = delete;
    CScript& operator=(const CScript&) = delete;

    // Reads the whole file; fails when a file is open already or the file
    // cannot be read. Lines are converted from Shift-JIS one by one as they are
    // read, after their comments are cut.
    int OpenRead(const std::string& path);
    // The old contents of the file stay until Close commits the lines written,
    // so that a write that fails part-way never destroys the previous file.
    int OpenWrite(const std::string& path);
    // Read: releases the file. Write: replaces the file's contents by the lines
    // written and closes it; 0 when a line was refused or any I/O step failed.
    int Close();
    // Write: closes without touching the file. Read: the same as Close.
    void Discard();

    // A line holding a line break or a NUL, or text Shift-JIS cannot hold, is
    // refused (0) and makes Close fail.
    int WriteLine(std::string_view line);
    int WriteSection(std::string_view name);
    // Also refused: a key line that would not read back as this key and value
    // (a ";" outside quotes, blanks at the ends, "=" in the key).
    int WriteKeyValue(std::string_view key, std::string_view value);
    int WriteKeyInt(std::string_view key, std::int32_t value);

    // 0 also at a line that Shift-JIS cannot decode: the position stays at it
    // and the read in progress counts as failed (see ReadFileWith).
    int ReadLine(std::string& line);
    static int IsSectionLine(std::string_view line);
    int FindSection(std::string& name);
    // An undecodable line fails the read in progress only when it holds this
    // key; another key's line is left for the reader that asks for it.
    int GetKeyValue(std::string_view key, std::string& value);

    // The path given to the open operation; empty while closed.
    const std::string& GetPath() const { return m_path; }
    // The absolute folder of the open script (references beginning with "."
    // are relative to it).
    const std::string& GetFolder() const { return m_folder; }
    bool IsOpen() const { return m_mode != Mode::Closed; }

protected:
    // 1 when step returns, 0 when one of its checks throws (int) or memory
    // runs out: the boundary of every operation that answers 1 or 0.
    template <class Step> static int RunStep(Step step)
    {
        try {
            step();
            return 1;
        } catch (int) {
        } catch (const std::bad_alloc&) {
        }
        return 0;
    }
    // Opens path for reading, runs parse and closes the file again whatever
    // parse returned. A line parse needed that could not be decoded fails the
    // read, also where parse took the 0 of ReadLine for the end of a list.
    template <class Parse> int ReadFileWith(const std::string& path, Parse parse)
    {
        if (!OpenRead(path))
            return 0;
        const int ok = parse();
        const bool undecodable = m_undecodable;
        Close();
        return undecodable ? 0 : ok;
    }
    // Opens path for writing and commits what write wrote; when write fails
    // the file is left as it was.
    template <class Write> int WriteFileWith(const std::string& path, Write write)
    {
        if (!OpenWrite(path))
            return 0;
        if (!write()) {
            Discard();
            return 0;
        }
        return Close();
    }

private:
    enum class Mode { Closed, Read, Write };

    void Reset();
    // The next line that is not empty once its comment is cut and its ends
    // trimmed, as Shift-JIS bytes; false at the end of the file.
    bool NextRawLine(std::string& bytes);

    Mode m_mode = Mode::Closed;
    std::string m_path;
    std::string m_folder;
    // Reading: the file's Shift-JIS bytes, the offset of the next line, and
    // whether a line the reader needed could not be decoded.
    std::string m_text;
    std::size_t m_next = 0;
    bool m_undecodable = false;
    // Writing: the staged file, the encoded lines waiting for Close, and
    // whether a line was refused.
    AtomicFileWriter m_file;
    std::string m_pending;
    bool m_writeFailed = false;
};
