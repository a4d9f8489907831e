#pragma once

// Lets the compiler check printf-style calls: a format that is not a literal
// (for instance text from a server) is flagged by -Wformat-security.
// MinGW's C++ runtime uses its own ANSI printf, hence gnu_printf there.
#if defined(__MINGW32__)
#define KIVO_PRINTF_FORMAT(fmt, args) __attribute__((format(gnu_printf, fmt, args)))
#elif defined(__GNUC__)
#define KIVO_PRINTF_FORMAT(fmt, args) __attribute__((format(printf, fmt, args)))
#else
#define KIVO_PRINTF_FORMAT(fmt, args)
#endif
