// The layout script (".usd") that the photo-printing application, the cameras
// and the frame-file kit read: a [HEADER] section and a [PAGE] section with one
// line per drawn object.
#pragma once

#include "Script/DrawRecordScript.h"
#include "Script/UDLDrawRecord.h"
#include "Script/UDLHeaderInfo.h"

class CUDLScript : public CDrawRecordScript<UDLDrawRecord>
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

    int SetTitle(std::string_view title);
    int SetComment(std::string_view comment);

    int WriteHeader();
    int ParseHeader();
    int WritePage();
    int ParsePage();
};
