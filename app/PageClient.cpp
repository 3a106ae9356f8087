#include "app/PageClient.h"

#include "app/NetworkChoice.h"
#include "app/Site.h"
#include "http/TIdHTTP.h"

void PreparePageClient(TIdCustomHTTP& http, const TPageBounds& bounds)
{
    http.SetHandleRedirects(true);
    http.SetReadTimeout(bounds.ReadTimeout);
    http.SetConnectTimeout(bounds.ConnectTimeout);
    http.SetRequestTimeout(bounds.RequestTimeout);
    http.SetMaxBodySize(bounds.MaxBodySize);
    http.Request().SetUserAgent(Site::UserAgent);
    http.SetAllowCookies(true);
    http.SetProxyRules(PageProxyRules());
}
