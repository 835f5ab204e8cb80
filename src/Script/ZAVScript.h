// The editor's own document (".zvd"): everything needed to reopen a layout of
// either kind, hidden items and full text settings included. The plain form
// holds [HEADER] and [PAGE]; the camera form [DSC_ZAV_HEADER], a short
// [HEADER] and [BASE_PAPER_INFO].
#pragma once

#include "Script/Script.h"
#include "Script/UDLHeaderInfo.h"
#include "Script/ZAVDrawRecord.h"

#include <optional>
#include <vector>

class CZAVScript : public CScript
{
public:
    CZAVScript();
    ~CZAVScript() override;

    // 1 for success, 0 for failure. A failed Write leaves the previous file
    // as it was when nothing could be written.
    int Write(const std::string& path);
    int Read(const std::string& path);
    // Plain form: the header only. Camera form: everything Read reads.
    int ReadHeader(const std::string& path);

    void InitHeader();
    void Clear();

    std::int32_t GetDSCFlag() const { return m_dscFlag; }
    void SetDSCFlag(std::int32_t flag) { m_dscFlag = flag; }

    std::int32_t GetPaperSize() const { return m_header.paperSize; }
    int SetPaperSize(std::int32_t paperSize);
    std::int32_t GetDirection() const { return m_header.direction; }
    int SetDirection(std::int32_t direction);
    std::int32_t GetMarginMode() const { return m_header.marginMode; }
    int SetMarginMode(std::int32_t marginMode);
    // The text setters refuse (0, nothing stored) a text of more than 128
    // Shift-JIS bytes, one Shift-JIS cannot hold, or one with a line break.
    // With the camera flag set, title and comment also go to the camera header.
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
    const std::string& GetDSCTitle() const { return m_dscTitle; }
    const std::string& GetDSCComment() const { return m_dscComment; }
    double GetDSCRevision() const { return m_dscRevision; }
    double GetClassification() const { return m_classification; }

    std::int32_t GetDrawRecordCount() const { return m_count; }
    // Nothing when there is no block or the index is not below the count.
    ZAVDrawRecord* GetDrawRecord(int index);
    void SetDrawRecordCount(std::int32_t count) { m_count = count; }
    // The script owns the records from then on; the count becomes their number.
    void SetDrawRecords(std::vector<ZAVDrawRecord> records);

    int WriteHeader();
    int WriteDSCHeader();
    int WriteObjects();
    int ParseHeader();
    int ParseDSCHeader();
    int ParsePage();
    int ParseBasePaperInfo();

private:
    int ParseObjectSection(std::string_view sectionLine);

    UDLHeaderInfo m_header;
    std::optional<std::vector<ZAVDrawRecord>> m_records;
    std::int32_t m_count = 0;
    std::int32_t m_dscFlag = 0;
    double m_dscRevision = 1.0;
    std::string m_dscTitle;
    std::string m_dscComment;
    double m_classification = 0.01;
};
