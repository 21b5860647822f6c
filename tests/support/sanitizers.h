// Whether the tests run under AddressSanitizer: it keeps its own heap (freed
// memory is not given back as the C library's is) and maps far more address
// space than any limit a test could set.
#pragma once

namespace prambus {

#if defined(__SANITIZE_ADDRESS__)
inline constexpr bool kUnderAddressSanitizer = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
inline constexpr bool kUnderAddressSanitizer = true;
#else
inline constexpr bool kUnderAddressSanitizer = false;
#endif
#else
inline constexpr bool kUnderAddressSanitizer = false;
#endif

}  // namespace prambus
