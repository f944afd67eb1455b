// The update checker's notice: reading it, comparing versions and the message for a result.
#include "app/src/update_check.h"

#include <QStringDecoder>
#include <QStringList>

#include <algorithm>

#include "audiosvc/audiosvc.h"

namespace updatecheck {

namespace {

// The message box's answer for "Open Page" in its "Open Page"/"Ok" pair is IDOK.
constexpr uint32_t kOpenPageOk = 0xA;

std::optional<QString> DecodeUtf8(const QByteArray& bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder.decode(bytes);
    if (decoder.hasError()) return std::nullopt;
    if (text.startsWith(QChar(0xFEFF))) text.remove(0, 1);
    return text;
}

// A version part without its leading zeros ("007" → "7", "0" → "").
QStringView Significant(QStringView part) {
    while (!part.isEmpty() && part.front() == u'0') part = part.mid(1);
    return part;
}

// Two runs of digits as numbers of any length: the longer significant run is the larger.
int CompareParts(QStringView a, QStringView b) {
    a = Significant(a);
    b = Significant(b);
    if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
    return a.compare(b);
}

std::string Utf8(const QString& text) { return text.toStdString(); }

}  // namespace

std::optional<Notice> ParseNotice(const QByteArray& body) {
    const std::optional<QString> text = DecodeUtf8(body);
    if (!text) return std::nullopt;
    std::optional<QString> version;
    std::optional<QString> page;
    for (const QString& rawLine : text->split(u'\n')) {
        const QString line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(u'#') || line.startsWith(u';')) continue;
        const qsizetype equals = line.indexOf(u'=');
        if (equals < 0) continue;
        const QString key = line.left(equals).trimmed();
        const QString value = line.mid(equals + 1).trimmed();
        if (key == u"version" && !version) version = value;
        if (key == u"page" && !page) page = value;
    }
    if (!version || !IsVersion(*version)) return std::nullopt;
    Notice notice{*version, {}};
    if (page) {
        const QUrl address(*page, QUrl::StrictMode);
        if (IsWebAddress(address)) notice.page = address;
    }
    return notice;
}

bool IsVersion(const QString& text) {
    if (text.isEmpty()) return false;
    const QStringList parts = text.split(u'.');
    return std::all_of(parts.begin(), parts.end(), [](const QString& part) {
        return !part.isEmpty() && std::all_of(part.begin(), part.end(), [](QChar c) { return c >= u'0' && c <= u'9'; });
    });
}

int CompareVersions(const QString& a, const QString& b) {
    const QStringList left = a.split(u'.');
    const QStringList right = b.split(u'.');
    for (qsizetype i = 0; i < std::max(left.size(), right.size()); ++i) {
        const QStringView l = i < left.size() ? QStringView(left[i]) : QStringView();
        const QStringView r = i < right.size() ? QStringView(right[i]) : QStringView();
        if (const int order = CompareParts(l, r); order != 0) return order < 0 ? -1 : 1;
    }
    return 0;
}

bool IsWebAddress(const QUrl& address) {
    const QString scheme = address.scheme().toLower();
    return address.isValid() && (scheme == u"http" || scheme == u"https") && !address.host().isEmpty();
}

Message ResultMessage(const FetchResult& result, const QString& ownVersion) {
    const auto cantCheck = [](const QString& reason) {
        return Message{Utf8(QStringLiteral("Can't check for updates: %1").arg(reason)), MB_OK | MB_ICONWARNING, {}};
    };
    if (result.status != FetchResult::kAnswered) return cantCheck(result.reason);
    const std::optional<Notice> notice = ParseNotice(result.body);
    if (!notice) return cantCheck(QStringLiteral("the answer is not an update notice"));
    if (CompareVersions(notice->version, ownVersion) <= 0)
        return {Utf8(QStringLiteral("You have the latest version of Morvane (%1).").arg(ownVersion)),
                MB_OK | MB_ICONINFORMATION,
                {}};
    const std::string available = Utf8(QStringLiteral("Morvane %1 is available.").arg(notice->version));
    if (notice->page.isEmpty()) return {available, MB_OK | MB_ICONINFORMATION, {}};
    return {available, kOpenPageOk | MB_ICONINFORMATION, notice->page};
}

}  // namespace updatecheck
