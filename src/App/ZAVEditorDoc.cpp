#include "App/ZAVEditorDoc.h"

#include "App/AppSettings.h"

CZAVEditorDoc::CZAVEditorDoc() = default;
CZAVEditorDoc::~CZAVEditorDoc() = default;

int CZAVEditorDoc::GetPageOrientation() const
{
    const SIZE size = m_layout.GetPaperSize();
    return size.cx > size.cy ? 1 : 0;
}

bool CZAVEditorDoc::OnNewDocument(const AppSettings& settings)
{
    m_dscLayout = false;
    m_layout.Reset();
    return m_layout.SetPaper(settings.GetSingleZAVDefaultPaperSize(),
                             settings.GetSingleZAVDefaultPaperDirection(),
                             settings.GetSingleZAVDefaultPaperMargin(), 0, false);
}

bool CZAVEditorDoc::OnOpenDocument(const std::string& /*path*/)
{
    return false;
}
