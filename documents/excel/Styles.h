#pragma once

#include <cmath>
#include <map>
#include <optional>
#include <vector>

#include <QHash>
#include <QString>

#include <pugixml.hpp>

#include "documents/excel/NumberFormat.h"
#include "documents/excel/SheetXml.h"
#include "documents/table/FontMetrics.h"

namespace Xlsx {

// How a cell is to look, derived from the format it has.
enum class CellLook
{
    Keep,
    Header,
    HeaderFirstColumn,
    HeaderSeventhColumn,
    Body,
    FixedPitch,
};

// How a cell shows its value, as far as fitting the columns needs to know it.
struct CellFormat
{
    QString numberFormat;
    QString fontName;
    double fontSize = 11;
    bool bold = false;
};

// The workbook's cell formats. New formats are derived from a cell's present one and added only when no
// identical format exists, so repeated exports reuse what earlier ones added.
class Styles
{
public:
    void load(pugi::xml_document document)
    {
        m_document.reset(document);
        m_ns = XmlNamespace::unify(m_document, MainNamespace, "", false);
        m_root = m_document.document_element();
        sortChildren(m_root, m_ns, StylesOrder);
        for (const char *name : { "fonts", "fills", "borders", "cellXfs" })
            orderedChild(m_root, m_ns, name, StylesOrder);
        m_fonts = collection("fonts", "font");
        m_fills = collection("fills", "fill");
        m_borders = collection("borders", "border");
        m_xfs = collection("cellXfs", "xf");
        if (m_fonts.nodes.empty())
            add(m_fonts, defaultFont());
        if (m_xfs.nodes.empty()) {
            pugi::xml_document xf;
            pugi::xml_node node = xf.append_child(m_ns.name("xf").c_str());
            for (const char *attribute : { "numFmtId", "fontId", "fillId", "borderId", "xfId" })
                node.append_attribute(attribute) = 0;
            add(m_xfs, node);
        }
        for (const pugi::xml_node &format : m_root.child(m_ns.name("numFmts").c_str()).children()) {
            m_formatCodes.insert(format.attribute("numFmtId").as_int(),
                QString::fromUtf8(format.attribute("formatCode").value()));
        }
    }

    void createDefault()
    {
        pugi::xml_document document;
        pugi::xml_node root = document.append_child("styleSheet");
        root.append_attribute("xmlns") = MainNamespace;
        pugi::xml_node fonts = root.append_child("fonts");
        pugi::xml_node font = fonts.append_child("font");
        font.append_child("sz").append_attribute("val") = 11;
        font.append_child("name").append_attribute("val") = "Calibri";
        font.append_child("family").append_attribute("val") = 2;
        pugi::xml_node fills = root.append_child("fills");
        fills.append_child("fill").append_child("patternFill").append_attribute("patternType") = "none";
        fills.append_child("fill").append_child("patternFill").append_attribute("patternType") = "gray125";
        root.append_child("borders").append_child("border");
        pugi::xml_node styleXf = root.append_child("cellStyleXfs").append_child("xf");
        pugi::xml_node xf = root.append_child("cellXfs").append_child("xf");
        for (const char *attribute : { "numFmtId", "fontId", "fillId", "borderId" }) {
            styleXf.append_attribute(attribute) = 0;
            xf.append_attribute(attribute) = 0;
        }
        xf.append_attribute("xfId") = 0;
        pugi::xml_node cellStyle = root.append_child("cellStyles").append_child("cellStyle");
        cellStyle.append_attribute("name") = "Normal";
        cellStyle.append_attribute("xfId") = 0;
        cellStyle.append_attribute("builtinId") = 0;
        load(std::move(document));
    }

    // The default font's name and size, which column widths are measured in.
    [[nodiscard]] QString defaultFontName() const
    {
        return QString::fromUtf8(
            m_fonts.nodes.front().child(m_ns.name("name").c_str()).attribute("val").value());
    }
    [[nodiscard]] double defaultFontSize() const
    {
        const double size = m_fonts.nodes.front().child(m_ns.name("sz").c_str()).attribute("val").as_double();
        return size > 0 && size < 410 ? size : 11;
    }

    // The number format and the font of a cell with the format.
    [[nodiscard]] const CellFormat &format(int xfIndex) const
    {
        if (const auto it = m_cellFormats.constFind(xfIndex); it != m_cellFormats.constEnd())
            return *it;
        const pugi::xml_node node = xf(xfIndex);
        const int id = node.attribute("numFmtId").as_int();
        CellFormat format;
        format.numberFormat
            = m_formatCodes.contains(id) ? m_formatCodes.value(id) : NumberFormat::builtInCode(id);
        const pugi::xml_node font = at(m_fonts, node.attribute("fontId").as_int());
        format.fontName = QString::fromUtf8(font.child(m_ns.name("name").c_str()).attribute("val").value());
        const double size = font.child(m_ns.name("sz").c_str()).attribute("val").as_double();
        format.fontSize = size > 0 && size < 410 ? size : defaultFontSize();
        const pugi::xml_node bold = font.child(m_ns.name("b").c_str());
        format.bold = bold && (!bold.attribute("val") || bold.attribute("val").as_bool());
        return *m_cellFormats.insert(xfIndex, format);
    }

    int numberFormat(const char *code)
    {
        if (std::strcmp(code, SerialFormat) == 0)
            return 1;
        const QString text = QString::fromLatin1(code);
        for (auto it = m_formatCodes.cbegin(); it != m_formatCodes.cend(); ++it) {
            if (it.value() == text)
                return it.key();
        }
        int id = FirstCustomFormat;
        while (m_formatCodes.contains(id))
            ++id;
        pugi::xml_node formats = orderedChild(m_root, m_ns, "numFmts", StylesOrder);
        pugi::xml_node format = formats.append_child(m_ns.name("numFmt").c_str());
        format.append_attribute("numFmtId") = id;
        format.append_attribute("formatCode") = code;
        m_formatCodes.insert(id, text);
        return id;
    }

    // The format of a cell that has xfIndex now, changed to look as asked and, when numberFormat is not
    // negative, to show that number format.
    int derive(int xfIndex, CellLook look, int numberFormat = -1)
    {
        const quint64 key = (static_cast<quint64>(xfIndex) << 24) | (static_cast<quint64>(look) << 16)
            | static_cast<quint16>(numberFormat + 1);
        if (const auto it = m_derived.constFind(key); it != m_derived.constEnd())
            return *it;

        pugi::xml_document scratch;
        pugi::xml_node node = scratch.append_copy(xf(xfIndex));
        if (numberFormat >= 0) {
            setAttribute(node, "numFmtId", QByteArray::number(numberFormat).constData());
            setAttribute(node, "applyNumberFormat", "1");
        }
        if (look != CellLook::Keep) {
            setAttribute(node, "fontId",
                QByteArray::number(derivedFont(node.attribute("fontId").as_int(), look)).constData());
            setAttribute(node, "applyFont", "1");
        }
        if (look == CellLook::Header || look == CellLook::HeaderFirstColumn
            || look == CellLook::HeaderSeventhColumn) {
            setAttribute(node, "fillId", QByteArray::number(solidBlackFill()).constData());
            setAttribute(node, "applyFill", "1");
        }
        if (look != CellLook::Keep && look != CellLook::FixedPitch) {
            setAttribute(node, "borderId",
                QByteArray::number(derivedBorder(node.attribute("borderId").as_int(), look)).constData());
            setAttribute(node, "applyBorder", "1");
            pugi::xml_node alignment = node.child(m_ns.name("alignment").c_str());
            if (!alignment)
                alignment = node.prepend_child(m_ns.name("alignment").c_str());
            setAttribute(alignment, "horizontal", "center");
            setAttribute(node, "applyAlignment", "1");
        }
        sortChildren(node, m_ns, XfOrder);
        const int index = add(m_xfs, node);
        m_derived.insert(key, index);
        return index;
    }

    [[nodiscard]] const pugi::xml_document &document()
    {
        for (Collection *collection : { &m_fonts, &m_fills, &m_borders, &m_xfs })
            setAttribute(collection->container, "count",
                QByteArray::number(static_cast<qint64>(collection->nodes.size())).constData());
        if (pugi::xml_node formats = m_root.child(m_ns.name("numFmts").c_str()))
            setAttribute(formats, "count",
                QByteArray::number(
                    static_cast<qint64>(std::distance(formats.children().begin(), formats.children().end())))
                    .constData());
        return m_document;
    }

private:
    struct Collection
    {
        pugi::xml_node container;
        std::string itemName;
        std::vector<pugi::xml_node> nodes;
        QHash<QByteArray, int> indexOf;
    };

    Collection collection(const char *containerName, const char *itemName)
    {
        Collection result;
        result.container = m_root.child(m_ns.name(containerName).c_str());
        result.itemName = m_ns.name(itemName);
        for (const pugi::xml_node &node : result.container.children(result.itemName.c_str())) {
            result.indexOf.insert(nodeKey(node), static_cast<int>(result.nodes.size()));
            result.nodes.push_back(node);
        }
        return result;
    }

    static pugi::xml_node at(const Collection &collection, int index)
    {
        return index >= 0 && index < static_cast<int>(collection.nodes.size()) ? collection.nodes.at(index)
                                                                               : collection.nodes.front();
    }

    [[nodiscard]] pugi::xml_node xf(int index) const { return at(m_xfs, index); }

    // The index of an item equal to node, appended when there is none.
    static int add(Collection &collection, const pugi::xml_node &node)
    {
        const QByteArray key = nodeKey(node);
        if (const auto it = collection.indexOf.constFind(key); it != collection.indexOf.constEnd())
            return *it;
        const int index = static_cast<int>(collection.nodes.size());
        collection.nodes.push_back(collection.container.append_copy(node));
        collection.indexOf.insert(key, index);
        return index;
    }

    pugi::xml_node defaultFont()
    {
        pugi::xml_node font = m_scratch.append_child(m_ns.name("font").c_str());
        font.append_child(m_ns.name("sz").c_str()).append_attribute("val") = 11;
        font.append_child(m_ns.name("name").c_str()).append_attribute("val") = "Calibri";
        return font;
    }

    void removeChildren(pugi::xml_node node, const char *name) const
    {
        while (pugi::xml_node child = node.child(m_ns.name(name).c_str()))
            node.remove_child(child);
    }

    int derivedFont(int fontIndex, CellLook look)
    {
        pugi::xml_document scratch;
        pugi::xml_node font = scratch.append_copy(at(m_fonts, fontIndex));
        removeChildren(font, "b");
        if (look == CellLook::FixedPitch) {
            removeChildren(font, "name");
            removeChildren(font, "family");
            removeChildren(font, "scheme");
            orderedChild(font, m_ns, "name", FontOrder).append_attribute("val") = "Courier New";
        } else if (look != CellLook::Body) {
            orderedChild(font, m_ns, "b", FontOrder);
            removeChildren(font, "color");
            orderedChild(font, m_ns, "color", FontOrder).append_attribute("rgb") = White;
        }
        sortChildren(font, m_ns, FontOrder);
        return add(m_fonts, font);
    }

    int solidBlackFill()
    {
        pugi::xml_document scratch;
        pugi::xml_node pattern
            = scratch.append_child(m_ns.name("fill").c_str()).append_child(m_ns.name("patternFill").c_str());
        pattern.append_attribute("patternType") = "solid";
        pattern.append_child(m_ns.name("fgColor").c_str()).append_attribute("rgb") = Black;
        pattern.append_child(m_ns.name("bgColor").c_str()).append_attribute("indexed") = 64;
        return add(m_fills, scratch.first_child());
    }

    void setEdge(pugi::xml_node border, const char *edge, const char *style, const char *colour)
    {
        pugi::xml_node node = orderedChild(border, m_ns, edge, BorderOrder);
        node.remove_children();
        setAttribute(node, "style", style);
        node.append_child(m_ns.name("color").c_str()).append_attribute("rgb") = colour;
    }

    int derivedBorder(int borderIndex, CellLook look)
    {
        pugi::xml_document scratch;
        pugi::xml_node border = scratch.append_copy(at(m_borders, borderIndex));
        if (look == CellLook::Body) {
            setEdge(border, "left", "hair", Black);
            setEdge(border, "right", "hair", Black);
            setEdge(border, "bottom", "hair", Black);
        } else {
            setEdge(border, "right", "thin", look == CellLook::HeaderSeventhColumn ? Black : White);
            if (look == CellLook::HeaderFirstColumn)
                setEdge(border, "left", "thin", Black);
            setEdge(border, "top", "thin", Black);
        }
        sortChildren(border, m_ns, BorderOrder);
        return add(m_borders, border);
    }

    pugi::xml_document m_document;
    pugi::xml_document m_scratch;
    pugi::xml_node m_root;
    XmlNamespace m_ns { pugi::xml_node(), MainNamespace };
    Collection m_fonts;
    Collection m_fills;
    Collection m_borders;
    Collection m_xfs;
    QHash<int, QString> m_formatCodes;
    QHash<quint64, int> m_derived;
    mutable QHash<int, CellFormat> m_cellFormats;
};

} // namespace Xlsx
