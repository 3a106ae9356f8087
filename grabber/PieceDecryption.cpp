#include "grabber/PieceDecryption.h"

#include <openssl/evp.h>

#include <memory>

std::optional<std::string> DecryptPiece(std::string_view cipher, const std::array<unsigned char, 16>& key,
                                        const std::array<unsigned char, 16>& iv)
{
    std::unique_ptr<EVP_CIPHER_CTX, decltype(&EVP_CIPHER_CTX_free)> context(EVP_CIPHER_CTX_new(), &EVP_CIPHER_CTX_free);
    if (!context || cipher.size() % 16 != 0 || cipher.size() > static_cast<std::size_t>(INT32_MAX) ||
        EVP_DecryptInit_ex(context.get(), EVP_aes_128_cbc(), nullptr, key.data(), iv.data()) != 1)
        return std::nullopt;
    std::string plain(cipher.size() + 16, '\0');
    int written = 0;
    int last = 0;
    auto* out = reinterpret_cast<unsigned char*>(plain.data());
    if (EVP_DecryptUpdate(context.get(), out, &written, reinterpret_cast<const unsigned char*>(cipher.data()),
                          static_cast<int>(cipher.size())) != 1 ||
        EVP_DecryptFinal_ex(context.get(), out + written, &last) != 1)
        return std::nullopt;
    plain.resize(static_cast<std::size_t>(written + last));
    return plain;
}
