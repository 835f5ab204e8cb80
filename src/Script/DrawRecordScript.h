// What the layout script and the editor document hold alike: the header
// values with their setters' rules, and the block of draw records with its
// count. Record is the file's own draw record type.
#pragma once

#include "Core/ErrorCheck.h"
#include "Script/HeaderSection.h"
#include "Script/Script.h"
#include "Script/UDLHeaderInfo.h"

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

template <class Record> class CDrawRecordScript : public CScript
{
public:
    std::int32_t GetPaperSize() const { return m_header.paperSize; }
    int SetPaperSize(std::int32_t paperSize)
    {
        m_header.paperSize = paperSize;
        return 1;
    }
    std::int32_t GetDirection() const { return m_header.direction; }
    int SetDirection(std::int32_t direction)
    {
        m_header.direction = direction;
        return 1;
    }
    std::int32_t GetMarginMode() const { return m_header.marginMode; }
    int SetMarginMode(std::int32_t marginMode)
    {
        m_header.marginMode = marginMode;
        return 1;
    }
    // The text setters refuse (0, nothing stored) a text of more than 128
    // Shift-JIS bytes, one Shift-JIS cannot hold, or one with a line break.
    const std::string& GetAuthor() const { return m_header.author; }
    int SetAuthor(std::string_view author) { return StoreHeaderText(m_header.author, author); }
    const std::string& GetTitle() const { return m_header.title; }
    const std::string& GetComment() const { return m_header.comment; }
    std::uint16_t GetRollPaperLength() const { return m_header.rollPaperLength; }
    int SetRollPaperLength(std::uint16_t length)
    {
        if (length < kMinRollLength || length > kMaxRollLength)
            return 0;
        m_header.rollPaperLength = length;
        return 1;
    }
    void SetCapacity(std::int32_t capacity) { m_header.capacity = capacity; }
    const std::string& GetThumbnail() const { return m_header.thumbnail; }
    void SetThumbnail(std::string_view thumbnail) { m_header.thumbnail = thumbnail; }
    const UDLHeaderInfo& GetHeaderInfo() const { return m_header; }

    std::int32_t GetDrawRecordCount() const { return m_count; }
    // Nothing when there is no block or the index is not below the count.
    Record* GetDrawRecord(int index)
    {
        if (!m_records || index < 0 || index >= m_count ||
            static_cast<std::size_t>(index) >= m_records->size())
            return nullptr;
        return &(*m_records)[static_cast<std::size_t>(index)];
    }
    void SetDrawRecordCount(std::int32_t count) { m_count = count; }
    // The script owns the records from then on; the count becomes their number.
    void SetDrawRecords(std::vector<Record> records)
    {
        m_count = static_cast<std::int32_t>(records.size());
        m_records = std::move(records);
    }

protected:
    using LineParser = std::optional<Record> (*)(std::string_view line, std::string_view folder);
    using LineFormatter = std::optional<std::string> (*)(const Record& record, std::string_view folder);

    void ResetHeaderAndRecords()
    {
        m_header = UDLHeaderInfo();
        m_records.reset();
        m_count = 0;
    }

    static int StoreHeaderText(std::string& field, std::string_view text)
    {
        if (!IsValidHeaderText(text))
            return 0;
        field = text;
        return 1;
    }

    // Skips to sectionLine and makes the records of the lines up to the next
    // section or the end; 0, the records left as they were, when the section
    // is missing or a line is refused.
    int ParseObjectSection(std::string_view sectionLine, LineParser parse)
    {
        return RunStep([&] {
            std::string line;
            do
                BoolCheck(ReadLine(line), 0);
            while (line != sectionLine);
            std::vector<Record> records;
            while (ReadLine(line) && !IsSectionLine(line)) {
                auto record = parse(line, GetFolder());
                BoolCheck(record.has_value(), 0);
                records.push_back(std::move(*record));
            }
            BoolCheck(records.size() <= static_cast<std::size_t>(INT32_MAX), 0);
            SetDrawRecords(std::move(records));
        });
    }

    // One line per record of the first count; the caller has checked that the
    // block holds them. A record whose type is below 0 or above lastType has no
    // line and is written as an empty line, which readers skip. Throws int 0
    // when format refuses a record or a line cannot be written.
    void WriteObjectLines(std::size_t count, std::int32_t lastType, LineFormatter format)
    {
        for (std::size_t i = 0; i < count; ++i) {
            const Record& record = (*m_records)[i];
            if (record.type < 0 || record.type > lastType) {
                BoolCheck(WriteLine(""), 0);
                continue;
            }
            const auto line = format(record, GetFolder());
            BoolCheck(line.has_value(), 0);
            BoolCheck(WriteLine(*line), 0);
        }
    }

    UDLHeaderInfo m_header;
    std::optional<std::vector<Record>> m_records;
    std::int32_t m_count = 0;
};
