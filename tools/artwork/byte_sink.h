#pragma once

#include <QByteArray>
#include <cstdint>

namespace artwork {

// Little-endian field writer shared by the Windows formats (BMP, ICO, CUR) and GIF.
class ByteSink {
  public:
    void u8(int value) { bytes_.append(static_cast<char>(value & 0xff)); }
    void u16(int value) {
        u8(value);
        u8(value >> 8);
    }
    void u32(std::uint32_t value) {
        u16(static_cast<int>(value & 0xffff));
        u16(static_cast<int>(value >> 16));
    }
    void raw(const QByteArray& data) { bytes_.append(data); }
    void raw(const char* text) { bytes_.append(text); }
    qsizetype size() const { return bytes_.size(); }
    const QByteArray& bytes() const { return bytes_; }

  private:
    QByteArray bytes_;
};

} // namespace artwork
