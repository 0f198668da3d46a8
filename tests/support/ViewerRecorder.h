// A stand-in for a results view: records every viewer it is asked to open and
// every note it is asked to show, hands out viewer windows that the test
// closes as the user would, and keeps the viewers it showed as a view does.
// The viewers share their records and the log with it.
#pragma once

#include "compare/FileProperties.h"
#include "compare/ItemViewers.h"
#include "compare/RegVal.h"
#include "seams/Viewer.h"

#include <memory>
#include <string>
#include <vector>

// What became of one viewer window; the test sets open to false to close it
// as the user would.
struct RecordedViewer {
    bool open = true;
    bool destroyed = false;
    int broughtToFront = 0;
};

class CRecordingViews : public IViewerFactory {
public:
    // localOffsetMinutes: the local time's offset from UTC that the view converts file times with.
    explicit CRecordingViews(int localOffsetMinutes = 0) : m_localTime(localOffsetMinutes) {}
    CRecordingViews(const CRecordingViews&) = delete;
    CRecordingViews& operator=(const CRecordingViews&) = delete;

private:
    // Shared with the viewers; made before log, which names it.
    std::shared_ptr<std::vector<std::string>> m_log = std::make_shared<std::vector<std::string>>();

public:
    // Every request in order: "file properties TITLE", "open string|dword|binary
    // CAPTION DATASIZE", "front", "destroy", "note TEXT".
    std::vector<std::string>& log = *m_log;
    // The texts of each file properties window asked for.
    std::vector<CFilePropertiesTexts> fileProperties;
    // Each viewer window handed out, in order.
    std::vector<std::shared_ptr<RecordedViewer>> viewers;
    // When false, no viewer can be opened.
    bool canOpen = true;

    const ITimeConverter& LocalTime() const override { return m_localTime; }

    std::unique_ptr<IViewerWindow> OpenFileProperties(const CFilePropertiesTexts& texts) override
    {
        log.push_back("file properties " + texts.m_strTitle);
        fileProperties.push_back(texts);
        return Open();
    }

    std::unique_ptr<IViewerWindow> OpenRegValueViewer(RegViewerKind kind, const std::string& caption,
                                                      const CRegVal& value) override
    {
        const char* names[] = {"string", "dword", "binary"};
        log.push_back(std::string("open ") + names[static_cast<int>(kind)] + " " + caption + " " +
                      std::to_string(value.GetDataSize()));
        return Open();
    }

    void ShowNote(const std::string& text) override { log.push_back("note " + text); }

    // A request for item's viewer, as the view makes it.
    void Show(const CCompareItem& item) { shown.Show(item, *this); }

private:
    class CViewer : public IViewerWindow {
    public:
        CViewer(std::shared_ptr<RecordedViewer> record, std::shared_ptr<std::vector<std::string>> log)
            : m_record(std::move(record)), m_log(std::move(log))
        {
        }
        bool IsOpen() const override { return m_record->open; }
        void BringToFront() override
        {
            ++m_record->broughtToFront;
            m_log->push_back("front");
        }
        void Destroy() override
        {
            m_record->open = false;
            m_record->destroyed = true;
            m_log->push_back("destroy");
        }

    private:
        std::shared_ptr<RecordedViewer> m_record;
        std::shared_ptr<std::vector<std::string>> m_log;
    };

    std::unique_ptr<IViewerWindow> Open()
    {
        if (!canOpen)
            return nullptr;
        viewers.push_back(std::make_shared<RecordedViewer>());
        return std::make_unique<CViewer>(viewers.back(), m_log);
    }

    CFixedOffsetTime m_localTime;

public:
    // The viewers Show opened; they close first when the recorder goes.
    CItemViewers shown;
};
