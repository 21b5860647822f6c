// The checksums the program offers, from the system's libraries: CRC-32 from
// zlib, MD5, SHA-1 and SHA-256 from OpenSSL's libcrypto (which uses the
// processor's SHA instructions where it has them).
#pragma once

#include <memory>
#include <vector>

#include "shell/checksum_job.h"

namespace prambus {

// "CRC-32", "MD5", "SHA-1", "SHA-256", in the order of MakeChecksumDigests.
extern const char* const kChecksumNames[4];
std::vector<std::unique_ptr<Digest>> MakeChecksumDigests();

// One of them alone, by its index in kChecksumNames (for the benchmark).
std::unique_ptr<Digest> MakeChecksumDigest(int index);

}  // namespace prambus
