#include "framework/Shell.h"

#include "framework/QtText.h"

#include <QDesktopServices>
#include <QUrl>

namespace {

TShellSeam& Seam()
{
    static TShellSeam seam;
    return seam;
}

} // namespace

void ShellExecute(const TShellRequest& request)
{
    if (Seam()) {
        Seam()(request);
        return;
    }
    // A target with a scheme is an address; anything else is a local file.
    QUrl url(ToQt(request.Target));
    if (url.scheme().isEmpty() || url.scheme().size() == 1)
        url = QUrl::fromLocalFile(ToQt(request.Target));
    QDesktopServices::openUrl(url);
}

TShellSeam SetShellSeam(TShellSeam seam)
{
    return std::exchange(Seam(), std::move(seam));
}
