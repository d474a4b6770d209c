#pragma once

#include <optional>

#include <QHash>
#include <QString>

#include <pugixml.hpp>

#include "documents/ooxml/OoxmlPackage.h"
#include "documents/table/TableFit.h"
#include "documents/word/WordXml.h"

namespace Word {

// What run properties say of the font; unset where they leave it to the styles below them.
struct FontSettings
{
    std::optional<QString> family;
    std::optional<double> size;
    std::optional<double> spacing;
    std::optional<bool> bold;
    std::optional<bool> italic;

    void fill(const FontSettings &lower)
    {
        family = family ? family : lower.family;
        size = size ? size : lower.size;
        spacing = spacing ? spacing : lower.spacing;
        bold = bold ? bold : lower.bold;
        italic = italic ? italic : lower.italic;
    }
};

// The document's styles and theme fonts, as far as the font of the table's text depends on them.
class StyleSheet
{
public:
    StyleSheet(const OoxmlPackage &package, const QString &mainPart)
    {
        const auto read = [&](const char *type, pugi::xml_document &document) {
            const std::optional<OoxmlPackage::Relationship> relationship
                = package.findRelationship(mainPart, QString::fromLatin1(type));
            return relationship && package.hasPart(relationship->target)
                && package.readXmlPart(relationship->target, document, nullptr);
        };
        pugi::xml_document theme;
        if (read(ThemeRelationship, theme)) {
            const XmlNamespace a = XmlNamespace::unify(theme, DrawingNamespace, "a", false);
            const pugi::xml_node scheme = theme.document_element()
                                              .child(a.name("themeElements").c_str())
                                              .child(a.name("fontScheme").c_str());
            m_minorFont = QString::fromUtf8(scheme.child(a.name("minorFont").c_str())
                                                .child(a.name("latin").c_str())
                                                .attribute("typeface")
                                                .value());
            m_majorFont = QString::fromUtf8(scheme.child(a.name("majorFont").c_str())
                                                .child(a.name("latin").c_str())
                                                .attribute("typeface")
                                                .value());
        }
        if (!read(OoxmlPackage::StylesRelationship, m_styles))
            return;
        const XmlNamespace ns = XmlNamespace::unify(m_styles, MainNamespace, "w", true);
        m_w = std::make_unique<WordNames>(ns.prefix());
        const WordNames &w = *m_w;
        const pugi::xml_node root = m_styles.document_element();
        m_defaults = runFont(w, root.child(w("docDefaults")).child(w("rPrDefault")).child(w("rPr")));
        for (const pugi::xml_node &style : root.children(w("style"))) {
            const QString id = QString::fromUtf8(style.attribute(w("styleId")).value());
            m_byId.insert(id, style);
            if (std::string_view(style.attribute(w("type")).value()) == "paragraph"
                && style.attribute(w("default")).as_bool())
                m_defaultParagraphStyle = id;
        }
    }

    // The font of a run with these properties in a paragraph of that style, in a table of that style.
    [[nodiscard]] TableFit::CellFont resolve(
        FontSettings run, const QString &paragraphStyle, const QString &tableStyle) const
    {
        if (!paragraphStyle.isEmpty())
            run.fill(styleFont(paragraphStyle));
        run.fill(styleFont(tableStyle));
        run.fill(styleFont(m_defaultParagraphStyle));
        run.fill(m_defaults);
        // What Word assumes where nothing says otherwise.
        return { run.family.value_or(QStringLiteral("Times New Roman")), run.size.value_or(10),
            run.spacing.value_or(0), run.bold.value_or(false), run.italic.value_or(false) };
    }

    [[nodiscard]] FontSettings runFont(const WordNames &w, const pugi::xml_node &rPr) const
    {
        FontSettings font;
        if (!rPr)
            return font;
        const pugi::xml_node fonts = rPr.child(w("rFonts"));
        const QString family = QString::fromUtf8(fonts.attribute(w("ascii")).value());
        const QString theme = QString::fromUtf8(fonts.attribute(w("asciiTheme")).value());
        const QString themeFont = theme.startsWith(QLatin1String("major")) ? m_majorFont : m_minorFont;
        if (!family.isEmpty())
            font.family = family;
        else if (!theme.isEmpty() && !themeFont.isEmpty())
            font.family = themeFont;
        if (const int halfPoints = intAttribute(w, rPr.child(w("sz"))); halfPoints > 0)
            font.size = halfPoints / 2.0;
        if (const pugi::xml_node spacing = rPr.child(w("spacing")))
            font.spacing = intAttribute(w, spacing) / 20.0;
        // A toggle property is on unless its value turns it off.
        const auto toggle = [&w](const pugi::xml_node &property) -> std::optional<bool> {
            if (!property)
                return std::nullopt;
            const std::string_view value = property.attribute(w("val")).value();
            return value != "0" && value != "false" && value != "off";
        };
        font.bold = toggle(rPr.child(w("b")));
        font.italic = toggle(rPr.child(w("i")));
        return font;
    }

private:
    // The font a style gives, with what the styles it is based on give.
    FontSettings styleFont(const QString &id) const
    {
        FontSettings font;
        QString next = id;
        // A chain of styles based on each other ends, even where a damaged file makes it a loop.
        for (int depth = 0; depth < 16 && m_w && !next.isEmpty(); ++depth) {
            const auto it = m_byId.constFind(next);
            if (it == m_byId.constEnd())
                break;
            const WordNames &w = *m_w;
            font.fill(runFont(w, it->child(w("rPr"))));
            next = QString::fromUtf8(it->child(w("basedOn")).attribute(w("val")).value());
        }
        return font;
    }

    pugi::xml_document m_styles;
    std::unique_ptr<WordNames> m_w;
    QHash<QString, pugi::xml_node> m_byId;
    QString m_defaultParagraphStyle;
    FontSettings m_defaults;
    QString m_minorFont;
    QString m_majorFont;
};

} // namespace Word
