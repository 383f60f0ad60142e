#include "ui/HeaderDisplay.h"

#include "mail/HeaderText.h"

#include <QByteArray>
#include <QStringDecoder>

namespace vorlane {

std::optional<std::string> DecodeCharset(std::string_view charset, std::string_view bytes)
{
    const std::string name(charset);
    QStringDecoder decoder(name.c_str(), QStringConverter::Flag::Stateless);
    if (!decoder.isValid())
        return std::nullopt;
    const QString text =
        decoder.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (decoder.hasError())
        return std::nullopt;
    return text.toStdString();
}

std::string DisplayHeaderText(std::string_view raw)
{
    return DecodeHeaderText(raw, DecodeCharset);
}

} // namespace vorlane
