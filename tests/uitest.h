// What the window tests have in common: the editor driver, Qt's test helpers and GoogleTest.
#pragma once

#include <editordriver.h>

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>
