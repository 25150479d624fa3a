#pragma once

#include <QListWidget>
#include <QtTest>

// Double-clicks a line of a list as the platform sends it: press and release,
// then the double click and its release.
inline void DoubleClick(QListWidget* list, QListWidgetItem* item) {
    QVERIFY(item);
    QVERIFY(list->isVisible());
    const QPoint at = list->visualItemRect(item).center();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseRelease(list->viewport(), Qt::LeftButton, {}, at);
}

// The first line of the list that reads `text`, or null.
inline QListWidgetItem* LineOf(const QListWidget* list, const QString& text) {
    const auto found = list->findItems(text, Qt::MatchExactly);
    return found.isEmpty() ? nullptr : found.first();
}
