#include "support/TestCertificates.h"

#include "support/PythonPeer.h"

#include <cstdlib>
#include <stdexcept>

namespace {

void Certificates(const std::string& arguments)
{
    std::string command = "python3 '" + SourceDir() + "/tools/demo-site/certificates.py' " + arguments;
    if (std::system(command.c_str()) != 0)
        throw std::runtime_error("could not make certificates: " + command);
}

} // namespace

const TestCertificates& TestCertificates::Instance()
{
    static const TestCertificates certificates;
    return certificates;
}

TestCertificates::TestCertificates()
{
    const std::string folder = "'" + folder_.path.string() + "' ";
    Certificates("authority " + folder + "authority");
    Certificates("authority " + folder + "strangers");
    Certificates("issue " + folder + "authority good 127.0.0.1 localhost");
    Certificates("issue " + folder + "authority othername other.example");
    Certificates("issue " + folder + "authority expired 127.0.0.1 --expired");
    Certificates("issue " + folder + "strangers stranger 127.0.0.1");
}

NginxTlsListener TestCertificates::Pair(const std::string& name) const
{
    return {folder_.File(name + ".pem"), folder_.File(name + ".key")};
}

void TestCertificates::Trust() const
{
    ::setenv("SSL_CERT_FILE", Authority().c_str(), 1);
}
