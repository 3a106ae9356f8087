#include "app/PageClient.h"

#include "app/Site.h"
#include "http/TIdHTTP.h"

namespace {

const int kReadTimeout = 6000;

} // namespace

void PreparePageClient(TIdCustomHTTP& http)
{
    http.SetHandleRedirects(true);
    http.SetReadTimeout(kReadTimeout);
    http.Request().SetUserAgent(Site::UserAgent);
    http.SetAllowCookies(true);
}
