#include "http/EIdTlsFailure.h"

#include "runtime/AsciiText.h"
#include "runtime/ResourceString.h"
#include "tls/CertificateProblem.h"
#include "tls/TlsFailureWords.h"

EIdTlsFailure::EIdTlsFailure(const char* message, std::vector<std::string> arguments)
    : EIdException(""), wording_(message), arguments_(std::move(arguments))
{
    Reword();
}

void EIdTlsFailure::Reword()
{
    std::vector<std::string> arguments;
    for (const std::string& argument : arguments_)
        arguments.push_back(LoadResString(argument));
    SetMessage(AsciiText::FillPlaceholders(LoadResString(wording_), arguments));
}

EIdTlsFailure::EIdTlsFailure(const std::string& host, const std::string& reason)
    : EIdTlsFailure("The secure connection to %s failed (%s).", {host, reason})
{}

EIdTlsHandshakeFailed::EIdTlsHandshakeFailed(const std::string& host, const std::string& reason)
    : EIdTlsFailure(TlsFailureWords::kNotSetUp, {host, reason})
{}

EIdTlsCertificateRefused::EIdTlsCertificateRefused(const std::string& host, long verifyResult)
    : EIdTlsHandshakeFailed(CertificateProblemMessage(CertificateProblemOf(verifyResult)),
                            {host, VerifyResultText(verifyResult)}),
      verifyResult_(verifyResult)
{}

EIdTlsTruncated::EIdTlsTruncated(const std::string& host)
    : EIdTlsFailure(TlsFailureWords::kCutOff, std::vector<std::string>{host})
{}
