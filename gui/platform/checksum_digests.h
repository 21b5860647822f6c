// The checksums the program offers, from the system's libraries: CRC-32 from
// zlib, MD5, SHA-1 and SHA-256 from OpenSSL's libcrypto (which uses the
// processor's SHA instructions where it has them). libcrypto is loaded when
// a digest of it is first asked for, not with the program: most runs never
// sum anything.
#pragma once

#include <memory>
#include <vector>

#include "shell/checksum_job.h"

namespace prambus {

// "CRC-32", "MD5", "SHA-1", "SHA-256", in the order of MakeChecksumDigests.
extern const char* const kChecksumNames[4];
// The library the digests other than CRC-32 come from.
extern const char* const kCryptoLibrary;

// A digest that cannot be had (its library does not load, or it cannot be
// set up or fails) gives a short text saying so instead of hex digits; the
// others are unaffected.
std::vector<std::unique_ptr<Digest>> MakeChecksumDigests();

// One of them alone, by its index in kChecksumNames (for the benchmark).
std::unique_ptr<Digest> MakeChecksumDigest(int index);
// The same with libcrypto looked for under another name (for tests: one
// that is missing, or a library without its functions).
std::unique_ptr<Digest> MakeChecksumDigest(int index, const char* cryptoLibrary);

}  // namespace prambus
