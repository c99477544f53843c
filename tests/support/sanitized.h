// VENNOR_SANITIZED is 1 in AddressSanitizer builds, which need several times
// the memory and the time, and 0 otherwise.
#ifndef VENNOR_TESTS_SANITIZED_H
#define VENNOR_TESTS_SANITIZED_H

#if defined(__SANITIZE_ADDRESS__)
#define VENNOR_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VENNOR_SANITIZED 1
#endif
#endif
#ifndef VENNOR_SANITIZED
#define VENNOR_SANITIZED 0
#endif

#endif
