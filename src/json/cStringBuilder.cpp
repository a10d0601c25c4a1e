#include "json/cStringBuilder.h"

#include "platform/errores.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <limits>

namespace {
constexpr std::int64_t kMaxBytes = std::numeric_limits<std::int32_t>::max();

[[noreturn]] void desborde() { Raise(vberr::Overflow, QStringLiteral("Overflow")); }
[[noreturn]] void fueraDeRango() { Raise(vberr::SubscriptOutOfRange, QStringLiteral("Subscript out of range")); }

std::int64_t bytesDe(qsizetype caracteres) { return std::int64_t(caracteres) * 2; }
} // namespace

void cStringBuilder::ChunkSize(std::int32_t iChunkSize)
{
    if (bytesDe(iChunkSize) > kMaxBytes)
        desborde();
    // A chunk of nothing could never make room.
    if (iChunkSize < 1)
        Raise(vberr::InvalidCall, QStringLiteral("Invalid procedure call or argument"));
    trozo_ = iChunkSize * 2;
}

QString cStringBuilder::toString() const
{
    if (usado_ < 1)
        return {};
    return QString(reinterpret_cast<const QChar*>(buffer_.get()), usado_ / 2);
}

std::unique_ptr<char16_t[]> cStringBuilder::cambiaCapacidad(std::int32_t bytes)
{
    auto nuevo = std::make_unique<char16_t[]>(std::size_t(bytes) / 2);
    if (usado_ > 0)
        std::memcpy(nuevo.get(), buffer_.get(), std::size_t(std::min(usado_, bytes)));
    // The spare area holds blanks.
    std::fill(nuevo.get() + usado_ / 2, nuevo.get() + bytes / 2, u' ');
    std::swap(buffer_, nuevo);
    capacidad_ = bytes;
    return nuevo;
}

std::unique_ptr<char16_t[]> cStringBuilder::asegura(std::int64_t necesario)
{
    if (necesario > kMaxBytes)
        desborde();
    if (necesario <= capacidad_)
        return {};
    const std::int64_t trozos = (necesario - capacidad_ + trozo_ - 1) / trozo_;
    const std::int64_t capacidad = capacidad_ + trozos * trozo_;
    if (capacidad > kMaxBytes)
        desborde();
    return cambiaCapacidad(std::int32_t(capacidad));
}

bool cStringBuilder::esPropio(QStringView texto) const
{
    if (!buffer_ || texto.isEmpty())
        return false;
    const auto* p = reinterpret_cast<const char16_t*>(texto.utf16());
    const std::less<const char16_t*> antes;
    return antes(p, buffer_.get() + capacidad_ / 2) && antes(buffer_.get(), p + texto.size());
}

void cStringBuilder::TheString(QStringView sThis)
{
    if (sThis.isEmpty()) {
        Clear();
        return;
    }
    const std::int64_t bytes = bytesDe(sThis.size());
    if (bytes > kMaxBytes)
        desborde();
    const auto anterior = asegura(bytes);
    std::memmove(buffer_.get(), sThis.utf16(), std::size_t(bytes));
    std::fill(buffer_.get() + bytes / 2, buffer_.get() + std::max<std::int64_t>(bytes, usado_) / 2, u' ');
    usado_ = std::int32_t(bytes);
}

void cStringBuilder::Clear()
{
    buffer_.reset();
    usado_ = 0;
    capacidad_ = 0;
}

void cStringBuilder::AppendNL(QStringView sThis)
{
    Append(sThis);
    Append(u"\r\n");
}

void cStringBuilder::Append(QStringView sThis)
{
    const std::int64_t bytes = bytesDe(sThis.size());
    if (bytes == 0)
        return;
    // A view of this builder's own text reads from the old buffer, kept
    // until the copy is done; it never overlaps the free space it goes to.
    const auto anterior = asegura(usado_ + bytes);
    std::memmove(reinterpret_cast<char*>(buffer_.get()) + usado_, sThis.utf16(), std::size_t(bytes));
    usado_ += std::int32_t(bytes);
}

void cStringBuilder::Append(QChar c)
{
    (void)asegura(usado_ + 2);
    buffer_[usado_ / 2] = c.unicode();
    usado_ += 2;
}

void cStringBuilder::Insert(std::int32_t iIndex, QStringView sThis)
{
    if (iIndex < 0 || bytesDe(iIndex) > usado_)
        fueraDeRango();
    const std::int64_t bytes = bytesDe(sThis.size());
    if (bytes == 0)
        return;
    if (bytes > kMaxBytes - usado_)
        desborde();
    // The move below shifts the very text a view of this builder reads:
    // insert a copy of it instead.
    if (esPropio(sThis)) {
        const QString copia = sThis.toString();
        Insert(iIndex, copia);
        return;
    }
    (void)asegura(usado_ + bytes);
    char* base = reinterpret_cast<char*>(buffer_.get());
    std::memmove(base + iIndex * 2 + bytes, base + iIndex * 2, std::size_t(usado_ - iIndex * 2));
    std::memcpy(base + iIndex * 2, sThis.utf16(), std::size_t(bytes));
    usado_ += std::int32_t(bytes);
}

void cStringBuilder::Remove(std::int32_t iIndex, std::int32_t lLen)
{
    if (iIndex < 0 || lLen < 0 || bytesDe(iIndex) > usado_ || bytesDe(std::int64_t(iIndex) + lLen) > usado_)
        fueraDeRango();
    if (lLen == 0)
        return;
    char* base = reinterpret_cast<char*>(buffer_.get());
    const std::int32_t desde = (iIndex + lLen) * 2;
    std::memmove(base + iIndex * 2, base + desde, std::size_t(usado_ - desde));
    std::fill(buffer_.get() + (usado_ - lLen * 2) / 2, buffer_.get() + usado_ / 2, u' ');
    usado_ -= lLen * 2;
}

std::int32_t cStringBuilder::Find(QStringView sToFind, std::int32_t lStartIndex, int compare) const
{
    if (compare != 0 && compare != 1)
        Raise(vberr::InvalidCall, QStringLiteral("Invalid procedure call or argument"));
    const std::int32_t desde = lStartIndex < 1 ? 0 : lStartIndex - 1;
    // The whole buffer is searched: a match that begins in the text may run
    // into the blanks of the spare area; one that begins there is no match.
    const std::int32_t largo = usado_ / 2;
    if (desde >= largo)
        return 0;
    const QStringView buffer(buffer_.get(), capacidad_ / 2);
    const qsizetype p = buffer.indexOf(sToFind, desde, compare == 0 ? Qt::CaseSensitive : Qt::CaseInsensitive);
    return p < 0 || p >= largo ? 0 : std::int32_t(p) + 1;
}

void cStringBuilder::HeapMinimize()
{
    std::int32_t capacidad = capacidad_;
    while (capacidad - usado_ > trozo_)
        capacidad -= trozo_;
    if (capacidad != capacidad_)
        (void)cambiaCapacidad(capacidad);
}
