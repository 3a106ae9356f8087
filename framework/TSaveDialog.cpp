#include "framework/TSaveDialog.h"

#include "framework/MessageBox.h"
#include "framework/QtText.h"
#include "i18n/GnuGettext.h"
#include "i18n/Utf8.h"
#include "runtime/AsciiText.h"
#include "runtime/ReplaceableFile.h"

#include <QFileDialog>
#include <QFileInfo>

namespace {

TSaveDialogSeam& Seam()
{
    static TSaveDialogSeam seam;
    return seam;
}

std::optional<std::string> AskTheUser(const TSaveDialogRequest& request)
{
    QFileDialog dialog(request.Owner, ToQt(request.Title));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (!request.Filter.empty())
        dialog.setNameFilter(ToQt(request.Filter));
    QFileInfo proposed(ToQt(request.FileName));
    if (proposed.isAbsolute())
        dialog.setDirectory(proposed.absolutePath());
    else if (!request.InitialDir.empty())
        dialog.setDirectory(ToQt(request.InitialDir));
    dialog.selectFile(proposed.fileName());
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return std::nullopt;
    return FromQt(dialog.selectedFiles().first());
}

// The question before an existing file is replaced; true for Yes.
bool ConfirmReplace(QWidget* owner, const std::string& path)
{
    std::string name = FromQt(QFileInfo(ToQt(path)).fileName());
    std::string question = Utf8Encode(TranslateText("%s already exists.\nDo you want to replace it?"));
    return AskQuestion({owner, AsciiText::FillPlaceholders(question, {name}),
                        Utf8Encode(TranslateText("Confirm Save As")), mbiQuestion});
}

// Only a file is ever replaced: anything else at the path is refused.
void RefuseNonFile(QWidget* owner, const std::string& path)
{
    std::string text = Utf8Encode(TranslateText(kNotAReplaceableFile));
    ShowMessageBox(
        {owner, AsciiText::FillPlaceholders(text, {path}), Utf8Encode(TranslateText("Confirm Save As")), mbiError});
}

} // namespace

TSaveDialog::TSaveDialog(QObject* owner, const QString& name) : QObject(owner)
{
    setObjectName(name);
}

std::string TSaveDialog::FileName() const
{
    return FromQt(fileName_);
}

void TSaveDialog::SetFileName(const std::string& fileName)
{
    fileName_ = ToQt(fileName);
}

bool TSaveDialog::Execute(QWidget* owner)
{
    TSaveDialogRequest request{owner, FileName(), FromQt(title_), FromQt(filter_), initialDir_};
    for (;;) {
        std::optional<std::string> chosen = Seam() ? Seam()(request) : AskTheUser(request);
        if (!chosen)
            return false;
        if (!IsReplaceableFile(*chosen))
            RefuseNonFile(owner, *chosen);
        else if (!QFileInfo::exists(ToQt(*chosen)) || ConfirmReplace(owner, *chosen)) {
            SetFileName(*chosen);
            return true;
        }
        request.FileName = *chosen;
    }
}

TSaveDialogSeam SetSaveDialogSeam(TSaveDialogSeam seam)
{
    return std::exchange(Seam(), std::move(seam));
}
