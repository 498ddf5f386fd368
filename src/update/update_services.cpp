#include "update/update_services.h"

#include "download/downloader.h"
#include "platform/platform.h"
#include "update/update_state.h"

namespace sorvo::update {

namespace {

class ComponentServices final : public UpdateServices {
  public:
    void stopDownload() override { download::release(updateState().downloader); }
    void startDownload(download::DownloadSettings& settings) override {
        download::startDownload(updateState().downloader, settings);
    }
    std::int64_t bytesDone() const override {
        return download::bytesDone(updateState().downloader);
    }
    std::int64_t bytesStored() const override {
        return download::bytesStored(updateState().downloader);
    }
    std::int64_t currentSpeed() const override {
        return download::currentSpeed(updateState().downloader);
    }
    std::int64_t overallRate() const override { return download::overallRate(); }
    std::uint32_t tickCount() const override { return platform::tickCount(); }
};

} // namespace

UpdateServices& componentServices() {
    static ComponentServices services;
    return services;
}

} // namespace sorvo::update
