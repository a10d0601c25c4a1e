#pragma once
// Collects text piece by piece: one buffer that grows in whole chunks, so
// appending character by character does not re-allocate every time.
// Sizes are kept in bytes (two per UTF-16 unit) as 32-bit numbers, and the
// interface speaks in characters; indexes of Insert and Remove are 0-based.
#include <QString>
#include <QStringView>
#include <cstdint>
#include <memory>

class cStringBuilder {
public:
    std::int32_t Length() const { return usado_ / 2; }
    std::int32_t Capacity() const { return capacidad_ / 2; }
    std::int32_t ChunkSize() const { return trozo_ / 2; }
    void ChunkSize(std::int32_t iChunkSize);

    QString toString() const;
    // Valid until the next change; it may be passed back to TheString,
    // Append and Insert of this same builder.
    QStringView vista() const { return {buffer_.get(), usado_ / 2}; }
    void TheString(QStringView sThis);
    void Clear();

    void AppendNL(QStringView sThis);
    void Append(QStringView sThis);
    void Append(QChar c);
    void AppendByVal(QString sThis) { Append(sThis); }
    void Insert(std::int32_t iIndex, QStringView sThis);
    void InsertByVal(std::int32_t iIndex, QString sThis) { Insert(iIndex, sThis); }
    void Remove(std::int32_t iIndex, std::int32_t lLen);
    // 1-based position of the first match that starts within the text (it
    // may run into the blanks of the spare area), 0 when none; compare 0 is
    // exact, 1 ignores case.
    std::int32_t Find(QStringView sToFind, std::int32_t lStartIndex = 0, int compare = 0) const;
    void HeapMinimize();

private:
    // Makes the capacity hold necesario bytes, growing by whole chunks;
    // raises overflow, with nothing changed, past the 32-bit range. Returns
    // the buffer it replaced, so that a text viewing it stays readable until
    // the caller has copied it.
    [[nodiscard]] std::unique_ptr<char16_t[]> asegura(std::int64_t necesario);
    std::unique_ptr<char16_t[]> cambiaCapacidad(std::int32_t bytes);
    bool esPropio(QStringView texto) const;

    std::unique_ptr<char16_t[]> buffer_;
    std::int32_t usado_ = 0;
    std::int32_t capacidad_ = 0;
    std::int32_t trozo_ = 16384;
};
