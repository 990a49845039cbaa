#pragma once

#include "EngineFixture.h"
#include "UserInfoManage.h"
#include "WorkspaceTestSupport.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

// What every test of a conversion page stands on: the stand-in engine answering page counts,
// fresh settings, a scratch folder holding an output folder, and the page under test, which
// must leave no engine behind when it goes away.
template <typename Page> class PageTestBed
{
protected:
    bool startSuite()
    {
        WorkspaceTest::keepServicesOnLoopback();
        // No main window: the pages' confirmations run without parent and overlay.
        return UserInfoManage::instance()->mainWindow() == nullptr && m_engine.prepare();
    }

    void endSuite() { m_engine.removeLibraries(); }

    bool startTest(const QString &pageCount)
    {
        WorkspaceTest::clearSettings();
        m_files.reset(new QTemporaryDir);
        m_output = m_files->filePath("out");
        EngineFixture::answerPageCount(pageCount);
        return m_files->isValid() && QDir().mkpath(m_output);
    }

    bool endTest()
    {
        m_page.reset();
        return QTest::qWaitFor([] { return EngineFixture::runningEngines() == 0; }, 5000);
    }

    EngineFixture m_engine;
    std::unique_ptr<QTemporaryDir> m_files;
    std::unique_ptr<Page> m_page;
    QString m_output;
};
