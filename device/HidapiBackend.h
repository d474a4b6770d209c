#pragma once

#include <map>
#include <optional>

#include "device/TransferWorkerBackend.h"

struct hid_device_;

// The HID layer on hidapi's hidraw backend. hidapi is not thread-safe per handle, so each transfer
// handle's device is owned by its TransferWorker thread, which writes the output report and reads
// continuously into the program's queue; the kernel's own queue of 63 reports per file never fills.
class HidapiBackend : public TransferWorkerBackend
{
public:
    HidapiBackend();
    ~HidapiBackend() override;

    [[nodiscard]] QList<HidInterface> enumerateInterfaces() override;
    [[nodiscard]] qint32 openPath(const QString &path, HidOpenMode mode) override;
    [[nodiscard]] std::optional<HidAttributes> readAttributes(qint32 handle) override;
    [[nodiscard]] bool isAttached(qint32 handle) override;
    bool close(qint32 handle) override;

private:
    bool m_initialized = false;
    // The identity each open handle's device reported when it was opened; none when it could not tell.
    std::map<qint32, std::optional<HidAttributes>> m_attributes;
    // The devices of identification handles; transfer handles' devices belong to their threads.
    std::map<qint32, hid_device_ *> m_identify;
};
