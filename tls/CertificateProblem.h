#pragma once

#include <string>

// Why a server's certificate was refused, in the words both of the
// program's HTTP stacks use. The verify result is OpenSSL's (X509_V_...),
// as SSL_get_verify_result and libcurl's CURLINFO_SSL_VERIFYRESULT give it.
enum TCertificateProblem { cpUntrusted, cpExpired, cpNotYetValid, cpOtherName, cpRejected };

TCertificateProblem CertificateProblemOf(long verifyResult);

// The message in English, as the catalogue knows it: "%s" stands for the
// host, the second "%s" for the reason.
const char* CertificateProblemMessage(TCertificateProblem problem);

// OpenSSL's own short text for a verify result ("self-signed certificate").
std::string VerifyResultText(long verifyResult);

// libcurl checks the name itself once OpenSSL has accepted the chain, and a
// name it refuses leaves no verify result behind (it reports X509_V_OK or
// "unspecified"): this gives the result OpenSSL's own check would have given
// for host then, and the reported result otherwise.
long RefusedCertificateResult(long reported, const std::string& host);
