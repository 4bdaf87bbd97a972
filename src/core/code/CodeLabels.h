// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QHash>
#include <QString>
#include <QtGlobal>

// The names of an add-in's labels, by file offset: the generated "L9113" (the address of the
// byte) unless an author gave the offset a name. The listing, the source and the windows all
// ask here, so that a name given once replaces the generated one everywhere.
class CodeLabels {
public:
    CodeLabels() = default;
    // The byte at file offset `firstOffset` runs at `base`.
    CodeLabels(int firstOffset, quint16 base) : m_first(firstOffset), m_base(base) {}

    QString nameAt(int offset) const;
    // An empty name gives the offset its generated name back.
    void setName(int offset, const QString& name);
    const QHash<int, QString>& givenNames() const { return m_names; }

    quint16 addressOf(int offset) const { return quint16(m_base + (offset - m_first)); }
    // "L9113".
    static QString generatedName(quint16 address);

private:
    int m_first = 0;
    quint16 m_base = 0x8000;
    QHash<int, QString> m_names;
};
