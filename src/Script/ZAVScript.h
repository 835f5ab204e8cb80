// The editor's own document (".zvd"): everything needed to reopen a layout of
// either kind, hidden items and full text settings included. The plain form
// holds [HEADER] and [PAGE]; the camera form [DSC_ZAV_HEADER], a short
// [HEADER] and [BASE_PAPER_INFO].
#pragma once

#include "Script/DrawRecordScript.h"
#include "Script/UDLHeaderInfo.h"
#include "Script/ZAVDrawRecord.h"

class CZAVScript : public CDrawRecordScript<ZAVDrawRecord>
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

    // With the camera flag set, title and comment also go to the camera header.
    int SetTitle(std::string_view title);
    int SetComment(std::string_view comment);
    const std::string& GetDSCTitle() const { return m_dscTitle; }
    const std::string& GetDSCComment() const { return m_dscComment; }
    double GetDSCRevision() const { return m_dscRevision; }
    double GetClassification() const { return m_classification; }

    int WriteHeader();
    int WriteDSCHeader();
    int WriteObjects();
    int ParseHeader();
    int ParseDSCHeader();
    int ParsePage();
    int ParseBasePaperInfo();

private:
    // The sections after the open; the plain form's [PAGE] only when
    // plainPage is set.
    int ParseSections(bool plainPage);

    std::int32_t m_dscFlag = 0;
    double m_dscRevision = 1.0;
    std::string m_dscTitle;
    std::string m_dscComment;
    double m_classification = 0.01;
};
