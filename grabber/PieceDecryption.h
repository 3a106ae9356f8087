#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

// AES-128-CBC with PKCS#7 padding over a whole piece, as HLS encrypts one.
// Nothing when the bytes are no such cipher text (a wrong key, a piece cut
// short).
std::optional<std::string> DecryptPiece(std::string_view cipher, const std::array<unsigned char, 16>& key,
                                        const std::array<unsigned char, 16>& iv);
