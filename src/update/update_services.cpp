#include "update/update_services.h"

#include "download/downloader.h"
#include "platform/platform.h"
#include "update/update_state.h"

namespace sorvo::update {

namespace {

class ComponentServices final : public UpdateServices {
  public:
    void startDownload(download::DownloadSettings& settings) override {
        download::startDownload(updateState().downloader, settings);
    }
    std::int32_t bytesDone() const override {
        return download::bytesDone(updateState().downloader);
    }
    std::int32_t currentSpeed() const override {
        return download::currentSpeed(updateState().downloader);
    }
    std::int32_t overallRate() const override { return download::overallRate(); }
    std::int64_t fileSize(const QString& path) const override { return platform::fileSize(path); }
    std::uint32_t tickCount() const override { return platform::tickCount(); }
};

} // namespace

UpdateServices& componentServices() {
    static ComponentServices services;
    return services;
}

} // namespace sorvo::update
