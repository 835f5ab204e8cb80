// The page as the window shows it: the layout manager drawn at its zoom.
// Mouse editing, scrolling and the view's commands come with the editing view.
#pragma once

#include <QWidget>

class CZAVEditorDoc;

class CZAVEditorView : public QWidget
{
    Q_OBJECT
public:
    explicit CZAVEditorView(CZAVEditorDoc& document, QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    CZAVEditorDoc& m_document;
};
