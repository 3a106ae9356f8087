#include "stream/HlsKeyMethod.h"

TStreamProtection KeyProtection(const THlsAttributes& key)
{
    const std::string method = key.Text("METHOD");
    const std::string format = key.Text("KEYFORMAT");
    if (method == "NONE")
        return spNone;
    if (method == "SAMPLE-AES" || method == "SAMPLE-AES-CTR" || (!format.empty() && format != "identity"))
        return spDrm;
    if (method == "AES-128")
        return spAes128;
    key.Tag().FailValue("METHOD", method);
}
