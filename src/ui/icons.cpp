#include "ui/icons.h"

#include <QFont>
#include <QFontMetrics>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace quandor::ui {

namespace {

// Freedesktop names tried before drawing.
const QHash<QString, QString>& themeNames() {
    static const QHash<QString, QString> names{
        {QStringLiteral("tabTemplate"), QStringLiteral("document-new")},
        {QStringLiteral("yearTemplate"), QStringLiteral("x-office-calendar")},
        {QStringLiteral("toolbarNewTemplate"), QStringLiteral("list-add")},
        {QStringLiteral("toolbarDeleteTemplate"), QStringLiteral("list-remove")},
        {QStringLiteral("calculatorTemplate"), QStringLiteral("accessories-calculator")},
        {QStringLiteral("printTemplate"), QStringLiteral("document-print")},
        {QStringLiteral("exportTemplate"), QStringLiteral("document-save-as")},
        {QStringLiteral("statisticsTemplate"), QStringLiteral("x-office-spreadsheet")},
        {QStringLiteral("showTemplate"), QStringLiteral("edit-find")},
        {QStringLiteral("taxTemplate"), QStringLiteral("mail-send")},
        {QStringLiteral("cashTemplate"), QStringLiteral("wallet-open")},
        {QStringLiteral("overviewTemplate"), QStringLiteral("office-chart-bar")},
        {QStringLiteral("prefsGeneralTemplate"), QStringLiteral("preferences-system")},
        {QStringLiteral("prefsGroupsTemplate"), QStringLiteral("folder")},
        {QStringLiteral("prefsBankTemplate"), QStringLiteral("bank")},
        {QStringLiteral("prefsTemplatesTemplate"), QStringLiteral("document-properties")},
        {QStringLiteral("prefsDataTemplate"), QStringLiteral("drive-harddisk")},
        {QStringLiteral("prefsAccountsTemplate"), QStringLiteral("system-users")},
        {QStringLiteral("prefsDatevTemplate"), QStringLiteral("x-office-document")},
        {QStringLiteral("helpTemplate"), QStringLiteral("help-contents")},
    };
    return names;
}

const QColor kInk(58, 74, 92);
const QColor kAccent(41, 110, 180);
const QColor kGreen(34, 91, 0);
const QColor kRed(135, 21, 22);

// All glyphs are drawn on a 32×32 grid and scaled.
void drawGlyph(QPainter& p, const QString& name) {
    QPen pen(kInk, 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin);
    p.setPen(pen);
    p.setBrush(Qt::NoBrush);
    auto fill = [&](const QColor& c) { p.setBrush(c); };
    if (name == u"yearTemplate") {
        fill(Qt::white);
        p.drawRoundedRect(QRectF(5, 7, 22, 20), 3, 3);
        p.fillRect(QRectF(6, 8, 20, 5), kRed);
        p.drawLine(QPointF(11, 4), QPointF(11, 9));
        p.drawLine(QPointF(21, 4), QPointF(21, 9));
        p.setPen(Qt::NoPen);
        fill(kInk);
        for (int r = 0; r < 2; ++r)
            for (int c = 0; c < 4; ++c) p.drawRect(QRectF(9 + c * 4, 16 + r * 5, 2.4, 2.4));
    } else if (name == u"tabTemplate" || name == u"prefsTemplatesTemplate") {
        fill(Qt::white);
        p.drawRoundedRect(QRectF(7, 4, 18, 24), 2, 2);
        for (int i = 0; i < 4; ++i)
            p.drawLine(QPointF(11, 10 + i * 4.5), QPointF(21, 10 + i * 4.5));
        if (name == u"tabTemplate") {
            p.setPen(Qt::NoPen);
            fill(kGreen);
            p.drawEllipse(QRectF(18, 18, 11, 11));
            p.setPen(QPen(Qt::white, 2));
            p.drawLine(QPointF(23.5, 20.5), QPointF(23.5, 26.5));
            p.drawLine(QPointF(20.5, 23.5), QPointF(26.5, 23.5));
        }
    } else if (name == u"toolbarNewTemplate" || name == u"toolbarDeleteTemplate") {
        const bool add = name == u"toolbarNewTemplate";
        p.setPen(Qt::NoPen);
        fill(add ? kGreen : kRed);
        p.drawEllipse(QRectF(4, 4, 24, 24));
        p.setPen(QPen(Qt::white, 3.2, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(10, 16), QPointF(22, 16));
        if (add) p.drawLine(QPointF(16, 10), QPointF(16, 22));
    } else if (name == u"calculatorTemplate") {
        fill(QColor(235, 238, 242));
        p.drawRoundedRect(QRectF(7, 3, 18, 26), 3, 3);
        fill(QColor(200, 225, 205));
        p.drawRect(QRectF(10, 6, 12, 6));
        p.setPen(Qt::NoPen);
        fill(kInk);
        for (int r = 0; r < 3; ++r)
            for (int c = 0; c < 3; ++c) p.drawRect(QRectF(10 + c * 4.5, 15 + r * 4.2, 3, 2.6));
    } else if (name == u"printTemplate") {
        fill(Qt::white);
        p.drawRect(QRectF(10, 4, 12, 8));
        fill(QColor(200, 205, 212));
        p.drawRoundedRect(QRectF(4, 11, 24, 11), 2, 2);
        fill(Qt::white);
        p.drawRect(QRectF(10, 18, 12, 10));
    } else if (name == u"exportTemplate") {
        fill(Qt::white);
        p.drawRoundedRect(QRectF(5, 8, 16, 20), 2, 2);
        p.setPen(QPen(kAccent, 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        p.drawLine(QPointF(13, 18), QPointF(27, 6));
        p.drawPolyline(QPolygonF({QPointF(19, 6), QPointF(27, 6), QPointF(27, 14)}));
    } else if (name == u"statisticsTemplate" || name == u"overviewTemplate") {
        p.drawLine(QPointF(4, 28), QPointF(28, 28));
        p.setPen(Qt::NoPen);
        const QColor bar = name == u"overviewTemplate" ? kGreen : kAccent;
        const double heights[] = {10, 18, 13, 22};
        for (int i = 0; i < 4; ++i) {
            fill(i % 2 ? bar : bar.lighter(140));
            p.drawRect(QRectF(6 + i * 5.5, 27 - heights[i], 4, heights[i]));
        }
    } else if (name == u"showTemplate") {
        p.setPen(QPen(kInk, 2.8, Qt::SolidLine, Qt::RoundCap));
        fill(QColor(220, 235, 250));
        p.drawEllipse(QRectF(5, 5, 15, 15));
        p.setPen(QPen(kInk, 4, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(QPointF(19, 19), QPointF(27, 27));
    } else if (name == u"taxTemplate") {
        fill(Qt::white);
        p.drawRoundedRect(QRectF(6, 4, 20, 24), 2, 2);
        QFont f = p.font();
        f.setPixelSize(15);
        f.setBold(true);
        p.setFont(f);
        p.setPen(kRed);
        p.drawText(QRectF(6, 5, 20, 23), Qt::AlignCenter, QStringLiteral("%"));
    } else if (name == u"cashTemplate") {
        fill(QColor(230, 215, 160));
        p.drawRoundedRect(QRectF(4, 12, 24, 15), 2, 2);
        p.drawLine(QPointF(4, 17), QPointF(28, 17));
        p.setPen(QPen(QColor(150, 120, 20), 1.6));
        fill(QColor(245, 200, 60));
        p.drawEllipse(QRectF(13, 4, 9, 9));
    } else if (name == u"prefsGeneralTemplate") {
        p.setPen(QPen(kInk, 3.4, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 8; ++i) {
            p.save();
            p.translate(16, 16);
            p.rotate(i * 45);
            p.drawLine(QPointF(0, -9), QPointF(0, -13));
            p.restore();
        }
        p.setPen(QPen(kInk, 2.2));
        fill(QColor(210, 215, 222));
        p.drawEllipse(QRectF(7, 7, 18, 18));
        fill(Qt::white);
        p.drawEllipse(QRectF(12.5, 12.5, 7, 7));
    } else if (name == u"prefsGroupsTemplate") {
        fill(QColor(250, 215, 120));
        QPainterPath tag;
        tag.moveTo(5, 8);
        tag.lineTo(17, 8);
        tag.lineTo(27, 17);
        tag.lineTo(17, 26);
        tag.lineTo(5, 26);
        tag.closeSubpath();
        p.drawPath(tag);
        fill(Qt::white);
        p.drawEllipse(QRectF(8, 14.5, 4, 4));
    } else if (name == u"prefsBankTemplate") {
        fill(QColor(220, 225, 232));
        p.drawPolygon(QPolygonF({QPointF(4, 12), QPointF(16, 4), QPointF(28, 12)}));
        for (int i = 0; i < 4; ++i) p.drawLine(QPointF(8 + i * 5.3, 14), QPointF(8 + i * 5.3, 24));
        p.drawLine(QPointF(4, 27), QPointF(28, 27));
    } else if (name == u"prefsDataTemplate") {
        fill(QColor(215, 225, 238));
        p.drawRect(QRectF(6, 8, 20, 16));
        p.drawEllipse(QRectF(6, 4, 20, 8));
        p.drawArc(QRectF(6, 12, 20, 8), 180 * 16, 180 * 16);
        p.drawArc(QRectF(6, 20, 20, 8), 180 * 16, 180 * 16);
    } else if (name == u"prefsAccountsTemplate") {
        fill(QColor(200, 215, 235));
        p.drawEllipse(QRectF(11, 4, 10, 10));
        p.drawChord(QRectF(5, 16, 22, 22), 0, 180 * 16);
    } else if (name == u"prefsDatevTemplate") {
        fill(QColor(225, 240, 225));
        p.drawRoundedRect(QRectF(4, 4, 24, 24), 4, 4);
        QFont f = p.font();
        f.setPixelSize(16);
        f.setBold(true);
        p.setFont(f);
        p.setPen(kGreen);
        p.drawText(QRectF(4, 4, 24, 24), Qt::AlignCenter, QStringLiteral("D"));
    } else if (name == u"helpTemplate") {
        fill(QColor(232, 240, 250));
        p.setPen(QPen(kAccent, 2.2));
        p.drawEllipse(QRectF(4, 4, 24, 24));
        QFont f = p.font();
        f.setPixelSize(17);
        f.setBold(true);
        p.setFont(f);
        p.drawText(QRectF(4, 4, 24, 24), Qt::AlignCenter, QStringLiteral("?"));
    } else if (name == u"documentTemplate") {  // an attached file, where no theme names its type
        fill(Qt::white);
        p.drawPolygon(QPolygonF(
            {QPointF(7, 3), QPointF(20, 3), QPointF(25, 8), QPointF(25, 29), QPointF(7, 29)}));
        p.drawPolyline(QPolygonF({QPointF(20, 3), QPointF(20, 8), QPointF(25, 8)}));
        p.setPen(QPen(kInk, 1.6, Qt::SolidLine, Qt::RoundCap));
        for (int i = 0; i < 4; ++i)
            p.drawLine(QPointF(11, 13 + i * 4), QPointF(i == 3 ? 17 : 21, 13 + i * 4));
    } else if (name == u"SeparatorItemIdentifier") {
        p.drawLine(QPointF(16, 5), QPointF(16, 27));
    } else if (name == u"SpaceItemIdentifier" || name == u"FlexibleSpaceItemIdentifier") {
        p.setPen(QPen(kInk, 1.6, Qt::DashLine));
        p.drawRect(QRectF(5, 10, 22, 12));
        if (name == u"FlexibleSpaceItemIdentifier") {
            p.setPen(QPen(kAccent, 2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
            p.drawLine(QPointF(9, 16), QPointF(23, 16));
            p.drawPolyline(QPolygonF({QPointF(12, 13), QPointF(9, 16), QPointF(12, 19)}));
            p.drawPolyline(QPolygonF({QPointF(20, 13), QPointF(23, 16), QPointF(20, 19)}));
        }
    } else {
        fill(QColor(225, 228, 232));
        p.drawRoundedRect(QRectF(5, 5, 22, 22), 4, 4);
    }
}

}  // namespace

QImage drawnIcon(const QString& name, int size) {
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.scale(size / 32.0, size / 32.0);
    drawGlyph(p, name);
    return image;
}

QIcon namedIcon(const QString& name) {
    const auto theme = themeNames().constFind(name);
    if (theme != themeNames().constEnd() && QIcon::hasThemeIcon(*theme))
        return QIcon::fromTheme(*theme);
    QIcon icon;
    for (int size : {16, 24, 32, 48, 64}) icon.addPixmap(QPixmap::fromImage(drawnIcon(name, size)));
    return icon;
}

GuideText guideText(const QString& name) {
    if (name == u"ja1")
        return {1, QStringLiteral("Lege zuerst ein Jahr an"),
                QStringLiteral("Klicke oben auf „Neues Jahr“ und gib zum Beispiel 2024 ein.")};
    if (name == u"ja2")
        return {1, QStringLiteral("Einrichtung fertig – jetzt ein Jahr anlegen"),
                QStringLiteral("Klicke oben auf „Neues Jahr“ für dein erstes Geschäftsjahr.")};
    if (name == u"ja3")
        return {2, QStringLiteral("Lege eine Abrechnung an"),
                QStringLiteral("Ein Monat oder ein Quartal: klicke auf „Neue Abrechnung“.")};
    if (name == u"ja4")
        return {3, QStringLiteral("Erfasse deinen ersten Posten"),
                QStringLiteral("Klicke auf „Neuer Posten“ und trage Datum und Betrag ein.")};
    return {};
}

QImage guideImage(const QString& name, qreal devicePixelRatio) {
    const GuideText text = guideText(name);
    if (text.step == 0) return {};
    const QSize logical(520, 62);
    QImage image(logical * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);

    const QRectF card(1, 1, logical.width() - 2, logical.height() - 2);
    p.setPen(QPen(QColor(196, 214, 234), 1));
    p.setBrush(QColor(239, 245, 252));
    p.drawRoundedRect(card, 9, 9);

    const QRectF circle(14, (logical.height() - 36) / 2.0, 36, 36);
    p.setPen(Qt::NoPen);
    p.setBrush(kAccent);
    p.drawEllipse(circle);
    QFont number = p.font();
    number.setPixelSize(20);
    number.setBold(true);
    p.setFont(number);
    p.setPen(Qt::white);
    p.drawText(circle, Qt::AlignCenter, QString::number(text.step));

    QFont headline = p.font();
    headline.setPixelSize(15);
    headline.setBold(true);
    p.setFont(headline);
    p.setPen(QColor(30, 45, 60));
    const QRectF textArea(64, 9, logical.width() - 78, 22);
    p.drawText(
        textArea, Qt::AlignLeft | Qt::AlignVCenter,
        QFontMetrics(headline).elidedText(text.headline, Qt::ElideRight, int(textArea.width())));
    QFont hint = p.font();
    hint.setPixelSize(12);
    hint.setBold(false);
    p.setFont(hint);
    p.setPen(QColor(70, 85, 100));
    const QRectF hintArea(64, 32, logical.width() - 78, 20);
    p.drawText(hintArea, Qt::AlignLeft | Qt::AlignVCenter,
               QFontMetrics(hint).elidedText(text.hint, Qt::ElideRight, int(hintArea.width())));
    return image;
}

}  // namespace quandor::ui
