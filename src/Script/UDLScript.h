// The layout script (".usd") that the photo-printing application, the cameras
// and the frame-file kit read: a [HEADER] section and a [PAGE] section with one
// line per drawn object.
#pragma once

#include "Script/Script.h"
#include "Script/UDLDrawRecord.h"
#include "Script/UDLHeaderInfo.h"

#include <optional>
#include <vector>

class CUDLScript : public CScript
{
public:
    CUDLScript();
    ~CUDLScript() override;

    // 1 for success, 0 for failure. A failed Write leaves the previous file
    // as it was when nothing could be written.
    int Write(const std::string& path);
    int Read(const std::string& path);
    int ReadHeader(const std::string& path);

    void InitHeader();
    void Clear();

    std::int32_t GetPaperSize() const { return m_header.paperSize; }
    int SetPaperSize(std::int32_t paperSize);
    std::int32_t GetDirection() const { return m_header.direction; }
    int SetDirection(std::int32_t direction);
    std::int32_t GetMarginMode() const { return m_header.marginMode; }
    int SetMarginMode(std::int32_t marginMode);
    // The text setters refuse (0, nothing stored) a text of more than 128
    // Shift-JIS bytes, one Shift-JIS cannot hold, or one with a line break.
    const std::string& GetAuthor() const { return m_header.author; }
    int SetAuthor(std::string_view author);
    const std::string& GetTitle() const { return m_header.title; }
    int SetTitle(std::string_view title);
    const std::string& GetComment() const { return m_header.comment; }
    int SetComment(std::string_view comment);
    std::uint16_t GetRollPaperLength() const { return m_header.rollPaperLength; }
    int SetRollPaperLength(std::uint16_t length);
    void SetCapacity(std::int32_t capacity) { m_header.capacity = capacity; }
    const std::string& GetThumbnail() const { return m_header.thumbnail; }
    void SetThumbnail(std::string_view thumbnail) { m_header.thumbnail = thumbnail; }
    const UDLHeaderInfo& GetHeaderInfo() const { return m_header; }

    std::int32_t GetDrawRecordCount() const { return m_count; }
    // Nothing when there is no block or the index is not below the count.
    UDLDrawRecord* GetDrawRecord(int index);
    void SetDrawRecordCount(std::int32_t count) { m_count = count; }
    // The script owns the records from then on; the count becomes their number.
    void SetDrawRecords(std::vector<UDLDrawRecord> records);

    int WriteHeader();
    int ParseHeader();
    int WritePage();
    int ParsePage();

private:
    UDLHeaderInfo m_header;
    std::optional<std::vector<UDLDrawRecord>> m_records;
    std::int32_t m_count = 0;
};
