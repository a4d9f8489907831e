#pragma once
#include <cstdint>
#include <string>

// Small blocking socket helpers of the fake server (Linux only).
namespace fake_pop3 {

// Listens on 127.0.0.1; port 0 takes any free port. -1 on failure.
int listen_loopback(std::uint16_t port);
std::uint16_t local_port(int fd);

bool write_all(int fd, const std::string& bytes);

// Reads bytes into `pending` until it holds a line (ended by LF); takes the
// line off without its CR LF. False when the peer closed or failed first.
bool read_line(int fd, std::string& pending, std::string& line);

// Reads exactly `count` more bytes beyond what `pending` holds.
bool read_exact(int fd, std::string& pending, std::size_t count, std::string& out);

// Writes a file atomically (temporary file and rename), so a reader never
// sees half of it.
bool write_file_atomically(const std::string& path, const std::string& text);

}  // namespace fake_pop3
