// Bitmap radio buttons in groups with one checked button: the tool buttons
// of the tool box and the paper-mode buttons. A button takes the id and the
// place of its dialog's control of that id when its manager attaches it.
#pragma once

#include <QAbstractButton>
#include <QColor>
#include <QImage>

#include <vector>

class CRadioButtonManager;

class CRadioButton : public QAbstractButton
{
    Q_OBJECT
public:
    // The pictures may be null: a null one draws the normal picture.
    CRadioButton(int controlId, QImage normal, QImage checked, QImage disabled);
    // A button deleted by its parent leaves its manager first.
    ~CRadioButton() override;

    int GetId() const { return m_controlId; }
    bool IsChecked() const { return m_checked; }
    void SetChecked(bool checked) { m_checked = checked; }
    CRadioButtonManager* GetManager() const { return m_manager; }
    void SetManager(CRadioButtonManager* manager) { m_manager = manager; }
    void Invalidate() { update(); }
    // Whether the button took its dialog control's place.
    bool IsAttached() const { return parentWidget() != nullptr; }
    // Takes the place, size and id of the parent's control of the button's
    // id, which it replaces; false when the parent has none.
    bool SubclassDlgItem(QWidget* parent);

    // 0 raised, 1 sunken: the bevel the state asks for, and its picture.
    int DrawState() const;
    const QImage& CurrentPicture() const;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    int m_controlId;
    bool m_checked = false;
    QImage m_normal, m_checkedPicture, m_disabled;
    QColor m_face, m_highlight, m_shadow;
    CRadioButtonManager* m_manager = nullptr;
};

class CRadioButtonManager
{
public:
    CRadioButtonManager();
    virtual ~CRadioButtonManager();
    CRadioButtonManager(const CRadioButtonManager&) = delete;
    CRadioButtonManager& operator=(const CRadioButtonManager&) = delete;

    // The manager does not own its buttons: their widget parent does, or the
    // caller until then. Remove with `destroy` deletes one.
    int Add(CRadioButton* button);
    int Remove(CRadioButton* button, bool destroy);
    void RemoveAll(bool destroy);
    // 0 for an index outside the buttons or the button already current.
    int Select(int index, bool redraw);
    // 1 when the button already is the current one; 0 for another manager's.
    int Select(CRadioButton* button, bool redraw);
    CRadioButton* GetAt(int index) const;
    int IndexOf(const CRadioButton* button) const;
    int GetCurrent() const { return m_current; }
    int GetCount() const { return static_cast<int>(m_buttons.size()); }
    void SetParent(QWidget* parent) { m_parent = parent; }

private:
    std::vector<CRadioButton*> m_buttons;
    int m_current = -1;
    QColor m_face, m_highlight, m_shadow;
    QWidget* m_parent = nullptr;
};

// The two bevels of the owner-drawn buttons: raised (0) or sunken (1).
class QPainter;
void DrawButtonBevel(QPainter& painter, const QRect& itemRect, int state);
