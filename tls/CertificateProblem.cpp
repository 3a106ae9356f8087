#include "tls/CertificateProblem.h"

#include <openssl/x509_vfy.h>

#include <arpa/inet.h>

TCertificateProblem CertificateProblemOf(long verifyResult)
{
    switch (verifyResult) {
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
    case X509_V_ERR_CERT_UNTRUSTED: return cpUntrusted;
    case X509_V_ERR_CERT_HAS_EXPIRED: return cpExpired;
    case X509_V_ERR_CERT_NOT_YET_VALID: return cpNotYetValid;
    case X509_V_ERR_HOSTNAME_MISMATCH:
    case X509_V_ERR_IP_ADDRESS_MISMATCH:
    case X509_V_ERR_EMAIL_MISMATCH: return cpOtherName;
    default: return cpRejected;
    }
}

const char* CertificateProblemMessage(TCertificateProblem problem)
{
    switch (problem) {
    case cpUntrusted: return "The certificate of %s is not trusted (%s).";
    case cpExpired: return "The certificate of %s has expired (%s).";
    case cpNotYetValid: return "The certificate of %s is not valid yet (%s).";
    case cpOtherName: return "The certificate of %s was made out for another name (%s).";
    case cpRejected: break;
    }
    return "The certificate of %s was rejected (%s).";
}

std::string VerifyResultText(long verifyResult)
{
    return X509_verify_cert_error_string(verifyResult);
}

long RefusedCertificateResult(long reported, const std::string& host)
{
    if (reported != X509_V_OK && reported != X509_V_ERR_UNSPECIFIED)
        return reported;
    unsigned char address[16];
    const bool isAddress =
        inet_pton(AF_INET, host.c_str(), address) == 1 || inet_pton(AF_INET6, host.c_str(), address) == 1;
    return isAddress ? X509_V_ERR_IP_ADDRESS_MISMATCH : X509_V_ERR_HOSTNAME_MISMATCH;
}
