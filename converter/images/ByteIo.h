#pragma once
// Little-endian field access for the file formats we parse and write ourselves.
#include <QByteArray>
#include <cstdint>

inline std::uint16_t ReadU16(const std::uint8_t* p) {
    return std::uint16_t(p[0] | (p[1] << 8));
}
inline std::uint32_t ReadU32(const std::uint8_t* p) {
    return std::uint32_t(p[0]) | (std::uint32_t(p[1]) << 8) | (std::uint32_t(p[2]) << 16) |
           (std::uint32_t(p[3]) << 24);
}
inline std::int32_t ReadI32(const std::uint8_t* p) {
    return std::int32_t(ReadU32(p));
}

inline void AppendU8(QByteArray& out, std::uint32_t v) {
    out.append(char(v & 0xFF));
}
inline void AppendU16(QByteArray& out, std::uint32_t v) {
    out.append(char(v & 0xFF));
    out.append(char((v >> 8) & 0xFF));
}
inline void AppendU32(QByteArray& out, std::uint32_t v) {
    AppendU16(out, v & 0xFFFF);
    AppendU16(out, v >> 16);
}
inline void AppendU32BE(QByteArray& out, std::uint32_t v) {
    out.append(char(v >> 24));
    out.append(char((v >> 16) & 0xFF));
    out.append(char((v >> 8) & 0xFF));
    out.append(char(v & 0xFF));
}
