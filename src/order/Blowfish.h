#pragma once
// Blowfish (16 rounds, the published key schedule) from libcrypto, in the form order
// packages use: ECB over 8-byte blocks whose two halves are little-endian 32-bit words;
// a tail shorter than a block is left as it is.

#include <QByteArray>
#include <cstdint>
#include <memory>

namespace order {

class Blowfish {
public:
    // Keys of 1 to 56 bytes; each instance schedules from the initial tables.
    explicit Blowfish(const QByteArray &key);
    ~Blowfish();
    Blowfish(const Blowfish &) = delete;
    Blowfish &operator=(const Blowfish &) = delete;

    // One block as its two halves (left, right).
    void encryptBlock(uint32_t &left, uint32_t &right) const;
    void decryptBlock(uint32_t &left, uint32_t &right) const;

    // In place over `size` bytes: every whole 8-byte block, little-endian halves.
    void encryptLe(char *data, qsizetype size) const;
    void decryptLe(char *data, qsizetype size) const;

private:
    struct Key;
    std::unique_ptr<Key> m_key;
};

} // namespace order
