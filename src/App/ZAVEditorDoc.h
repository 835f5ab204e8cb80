// The document as far as the shell needs it: the layout manager of the page
// the window shows, a new layout on the default paper, and the open entry
// point that dropped and handed-over files reach.
#pragma once

#include "Layout/LayoutManager.h"
#include "Layout/LayoutServices.h"

#include <string>

class AppSettings;

class CZAVEditorDoc : public ILayoutDocument
{
public:
    CZAVEditorDoc();
    ~CZAVEditorDoc() override;

    CLayoutManager& GetLayoutManager() { return m_layout; }

    bool IsDSCLayout() const override { return m_dscLayout; }
    int GetPageOrientation() const override;

    // A photo-application layout on the default paper of the settings.
    bool OnNewDocument(const AppSettings& settings);
    // Reading layout files comes with the document's file dispatch; until
    // then every open is refused and the page is left as it is.
    bool OnOpenDocument(const std::string& path);

private:
    CLayoutManager m_layout;
    bool m_dscLayout = false;
};
