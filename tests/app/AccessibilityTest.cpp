#include "app/TForm1.h"
#include "app/TForm2.h"
#include "framework/TImage.h"
#include "widgets/TAdvSmoothProgressBar.h"
#include "widgets/TNxLabel.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <QAccessible>
#include <QMetaEnum>

#include <sstream>

using ::testing::HasSubstr;

// What a screen reader finds in the windows.
namespace {

// One line per accessible object: its role, name, value and actions,
// indented by depth.
void Walk(QAccessibleInterface* node, int depth, std::ostringstream& out)
{
    out << std::string(2 * depth, ' ') << QMetaEnum::fromType<QAccessible::Role>().valueToKey(node->role());
    if (QString name = node->text(QAccessible::Name); !name.isEmpty())
        out << " \"" << name.toStdString() << "\"";
    if (QAccessibleValueInterface* value = node->valueInterface())
        out << " value=" << value->currentValue().toDouble() << " min=" << value->minimumValue().toDouble()
            << " max=" << value->maximumValue().toDouble() << " text=\"" << node->text(QAccessible::Value).toStdString()
            << "\"";
    if (QAccessibleActionInterface* actions = node->actionInterface())
        if (actions->actionNames().contains(QAccessibleActionInterface::pressAction()))
            out << " [press]";
    out << "\n";
    for (int i = 0; i < node->childCount(); ++i)
        Walk(node->child(i), depth + 1, out);
}

std::string Tree(QWidget* window)
{
    std::ostringstream out;
    Walk(QAccessible::queryAccessibleInterface(window), 0, out);
    return out.str();
}

} // namespace

TEST(Accessibility, MainWindowNamesItsStepsPicturesAndLink)
{
    TForm1 form;
    const std::string tree = Tree(&form);
    EXPECT_THAT(tree, HasSubstr("Grouping \"Step 1: Enter Video URL\""));
    EXPECT_THAT(tree, HasSubstr("Grouping \"Step 2: Download Video!\""));
    EXPECT_THAT(tree, HasSubstr("Button \"Spanish - Espa\xc3\xb1ol\" [press]"));
    EXPECT_THAT(tree, HasSubstr("Button \"English - Ingl\xc3\xa9s\" [press]"));
    EXPECT_THAT(tree, HasSubstr("Button \"About Skerrow\" [press]"));
    EXPECT_THAT(tree, HasSubstr("Link \"Open YouTube in browser\" [press]"));

    int clicks = 0;
    form.imgHelp->OnClick = [&](QObject*) { ++clicks; };
    QAccessible::queryAccessibleInterface(form.imgHelp)
        ->actionInterface()
        ->doAction(QAccessibleActionInterface::pressAction());
    EXPECT_EQ(clicks, 1);
}

TEST(Accessibility, DownloadWindowReadsTitleWholeAndProgressWithItsRange)
{
    TForm1 owner;
    auto* window = new TForm2(&owner);
    window->lblTitle->SetCaption("A very long title that the label cuts short in its middle to fit its width");
    window->ProgressBar1->SetProgressAnimation(false);
    window->ProgressBar1->SetMaximum(200);
    window->ProgressBar1->SetPosition(84.2);

    const std::string tree = Tree(window);
    EXPECT_THAT(tree, HasSubstr("Grouping \"Downloading video\""));
    EXPECT_THAT(tree,
                HasSubstr("StaticText \"A very long title that the label cuts short in its middle to fit its width\""));
    EXPECT_THAT(tree, HasSubstr("ProgressBar value=84.2 min=0 max=200 text=\"42%\""));
}
