#pragma once

#include <vector>

#include <QHash>
#include <QString>

#include <pugixml.hpp>

#include "documents/excel/SheetXml.h"

namespace Xlsx {

// The workbook's shared strings: read, reused where the same plain text is already there, added to.
class SharedStrings
{
public:
    void load(pugi::xml_document document)
    {
        m_document.reset(document);
        m_ns = XmlNamespace::unify(m_document, MainNamespace, "", false);
        m_root = m_document.document_element();
        const std::string itemName = m_ns.name("si");
        for (const pugi::xml_node &item : m_root.children(itemName.c_str())) {
            const QString text = stringItemText(item, m_ns);
            if (!m_indexOf.contains(text))
                m_indexOf.insert(text, static_cast<int>(m_texts.size()));
            m_texts.push_back(text);
        }
    }

    void createEmpty()
    {
        m_document.reset();
        m_root = m_document.append_child("sst");
        m_root.append_attribute("xmlns") = MainNamespace;
        m_root.append_attribute("count") = 0;
        m_ns = XmlNamespace(m_root, MainNamespace);
    }

    [[nodiscard]] QString text(int index) const
    {
        return index >= 0 && index < static_cast<int>(m_texts.size()) ? m_texts.at(index) : QString();
    }

    int add(const QString &text)
    {
        ++m_newReferences;
        if (const auto it = m_indexOf.constFind(text); it != m_indexOf.constEnd())
            return *it;
        pugi::xml_node t = m_root.append_child(m_ns.name("si").c_str()).append_child(m_ns.name("t").c_str());
        const QString escaped = escapeSpreadsheetText(text);
        if (escaped != escaped.trimmed() || escaped.contains(u'\n'))
            t.append_attribute("xml:space") = "preserve";
        t.text() = escaped.toUtf8().constData();
        const int index = static_cast<int>(m_texts.size());
        m_texts.push_back(text);
        m_indexOf.insert(text, index);
        return index;
    }

    [[nodiscard]] const pugi::xml_document &document()
    {
        if (pugi::xml_attribute count = m_root.attribute("count"))
            count = count.as_llong() + m_newReferences;
        m_newReferences = 0;
        setAttribute(
            m_root, "uniqueCount", QByteArray::number(static_cast<qint64>(m_texts.size())).constData());
        return m_document;
    }

private:
    pugi::xml_document m_document;
    pugi::xml_node m_root;
    XmlNamespace m_ns { pugi::xml_node(), MainNamespace };
    std::vector<QString> m_texts;
    QHash<QString, int> m_indexOf;
    qint64 m_newReferences = 0;
};

} // namespace Xlsx
