#include "http/EIdTlsFailure.h"

#include "runtime/AsciiText.h"
#include "runtime/ResourceString.h"
#include "tls/CertificateProblem.h"

std::string EIdTlsFailure::Worded(const char* message, const std::vector<std::string>& arguments)
{
    return AsciiText::FillPlaceholders(LoadResString(message), arguments);
}

EIdTlsFailure::EIdTlsFailure(const std::string& host, const std::string& reason)
    : EIdException(Worded("The secure connection to %s failed (%s).", {host, reason}))
{
}

EIdTlsHandshakeFailed::EIdTlsHandshakeFailed(const std::string& host, const std::string& reason)
    : EIdTlsFailure(Worded("The secure connection to %s could not be set up (%s).", {host, reason}))
{
}

EIdTlsCertificateRefused::EIdTlsCertificateRefused(const std::string& host, long verifyResult)
    : EIdTlsHandshakeFailed(Worded(CertificateProblemMessage(CertificateProblemOf(verifyResult)),
                                   {host, VerifyResultText(verifyResult)})),
      verifyResult_(verifyResult)
{
}

EIdTlsTruncated::EIdTlsTruncated(const std::string& host)
    : EIdTlsFailure(Worded("The secure connection to %s was cut off before the data was complete.", {host}))
{
}
