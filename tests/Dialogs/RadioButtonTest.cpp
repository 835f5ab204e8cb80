#include "Dialogs/RadioButton.h"
#include "App/support/AppTestSupport.h"
#include "Platform/DialogLayoutTarget.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTest>

namespace {

CRadioButton* MakeButton(int id)
{
    QImage normal(10, 10, QImage::Format_RGB32);
    normal.fill(Qt::white);
    QImage checked(10, 10, QImage::Format_RGB32);
    checked.fill(Qt::blue);
    return new CRadioButton(id, normal, checked, QImage());
}

struct Counter : QObject
{
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::UpdateRequest || event->type() == QEvent::Paint)
            ++paints;
        return false;
    }
};

TEST(RadioButtonTest, SelectChecksOneButtonAndRefusesWhatItCannotDo)
{
    EnsureApp();
    CRadioButtonManager manager;
    CRadioButton* a = MakeButton(1);
    CRadioButton* b = MakeButton(2);
    std::unique_ptr<CRadioButton> owned[] = {std::unique_ptr<CRadioButton>(a),
                                             std::unique_ptr<CRadioButton>(b)};
    EXPECT_EQ(manager.Add(nullptr), 0);
    EXPECT_EQ(manager.Add(a), 1);
    EXPECT_EQ(manager.Add(b), 1);
    EXPECT_EQ(manager.GetCurrent(), -1);

    const struct
    {
        int index;
        int result;
        int current;
    } steps[] = {{1, 1, 1}, {1, 0, 1}, {2, 0, 1}, {-1, 0, 1}, {0, 1, 0}};
    for (const auto& s : steps) {
        EXPECT_EQ(manager.Select(s.index, true), s.result) << s.index;
        EXPECT_EQ(manager.GetCurrent(), s.current);
        EXPECT_EQ(a->IsChecked(), s.current == 0);
        EXPECT_EQ(b->IsChecked(), s.current == 1);
    }
    // By pointer: the current one answers 1, another manager's 0.
    EXPECT_EQ(manager.Select(a, true), 1);
    CRadioButtonManager other;
    std::unique_ptr<CRadioButton> stranger(MakeButton(3));
    other.Add(stranger.get());
    EXPECT_EQ(manager.Select(stranger.get(), true), 0);
    EXPECT_EQ(manager.GetAt(5), nullptr);
    EXPECT_EQ(manager.IndexOf(stranger.get()), -1);
    manager.RemoveAll(false);
}

TEST(RadioButtonTest, SelectingTheCurrentIndexRepaintsNothing)
{
    EnsureApp();
    QWidget parent;
    CRadioButtonManager manager;
    CRadioButton* a = MakeButton(1);
    a->setParent(&parent);
    a->resize(20, 20);
    manager.Add(a);
    parent.show();
    QCoreApplication::processEvents();
    manager.Select(0, true);
    QCoreApplication::processEvents();
    Counter counter;
    a->installEventFilter(&counter);
    EXPECT_EQ(manager.Select(0, true), 0);
    QCoreApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);
    manager.RemoveAll(false);
}

TEST(RadioButtonTest, AButtonMovesBetweenManagersAndAttachesOnlyUnderAParent)
{
    EnsureApp();
    CRadioButtonManager first, second;
    std::unique_ptr<CRadioButton> loose(MakeButton(7));
    first.Add(loose.get());
    second.Add(loose.get());
    EXPECT_EQ(first.GetCount(), 0);
    EXPECT_EQ(second.IndexOf(loose.get()), 0);
    EXPECT_EQ(loose->GetManager(), &second);
    // No parent: the button stays unattached.
    EXPECT_FALSE(loose->IsAttached());
    second.Remove(loose.get(), false);
    EXPECT_EQ(loose->GetManager(), nullptr);

    // Under a parent the button takes its control's id and place.
    QWidget dialog;
    auto* control = new QPushButton(QStringLiteral("Tip"), &dialog);
    SetControlId(control, 7);
    control->setGeometry(12, 14, 40, 30);
    CRadioButtonManager attached;
    attached.SetParent(&dialog);
    CRadioButton* button = MakeButton(7);
    attached.Add(button);
    EXPECT_TRUE(button->IsAttached());
    EXPECT_EQ(button->parentWidget(), &dialog);
    EXPECT_EQ(button->geometry(), QRect(12, 14, 40, 30));
    EXPECT_EQ(GetControlId(button), 7);
    EXPECT_EQ(button->text(), QStringLiteral("Tip"));
    EXPECT_EQ(dialog.findChildren<QPushButton*>().size(), 0);
    // An id the parent has no control for stays unattached.
    std::unique_ptr<CRadioButton> unknown(MakeButton(99));
    attached.Add(unknown.get());
    EXPECT_FALSE(unknown->IsAttached());
    attached.Remove(unknown.get(), false);

    // A click checks the button through its manager.
    dialog.show();
    QTest::mouseClick(button, Qt::LeftButton);
    EXPECT_TRUE(button->IsChecked());
    EXPECT_EQ(attached.GetCurrent(), 0);
    EXPECT_EQ(attached.Remove(button, true), 1);
    EXPECT_EQ(attached.GetCount(), 0);
}

TEST(RadioButtonTest, TheStateChoosesBevelAndPicture)
{
    EnsureApp();
    std::unique_ptr<CRadioButton> button(MakeButton(1));
    EXPECT_EQ(button->DrawState(), 0);
    EXPECT_EQ(button->CurrentPicture().pixelColor(0, 0), QColor(Qt::white));
    button->SetChecked(true);
    EXPECT_EQ(button->DrawState(), 1);
    EXPECT_EQ(button->CurrentPicture().pixelColor(0, 0), QColor(Qt::blue));
    // No disabled picture: the normal one.
    button->setEnabled(false);
    EXPECT_EQ(button->CurrentPicture().pixelColor(0, 0), QColor(Qt::white));
}

} // namespace
