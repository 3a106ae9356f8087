#pragma once

#include "support/NginxServer.h"
#include "support/ScratchFolder.h"

#include <string>

// Certificates made once for a test run by the demo site's small authority
// (tools/demo-site/certificates.py): a server certificate for 127.0.0.1 and
// localhost, one for another name and an expired one, all from the test
// authority, and one from a stranger's authority. Trust() makes this process
// and the programs it starts trust the test authority and nothing else
// besides the system's certificate folder.
class TestCertificates {
public:
    static const TestCertificates& Instance();

    NginxTlsListener Good() const { return Pair("good"); }
    NginxTlsListener OtherName() const { return Pair("othername"); }
    NginxTlsListener Expired() const { return Pair("expired"); }
    NginxTlsListener Stranger() const { return Pair("stranger"); }
    std::string Authority() const { return folder_.File("authority.pem"); }

    void Trust() const;

private:
    TestCertificates();
    NginxTlsListener Pair(const std::string& name) const;

    ScratchFolder folder_{"certificates"};
};
