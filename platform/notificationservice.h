#pragma once

#include <QDateTime>
#include <QString>
#include <cstdint>

namespace quantaro {

/** System events a program can be registered for, and the "no registration" handle. */
namespace notification {
/** A wired connection came up (the cable or cradle connection of a handheld). */
inline constexpr int32_t kCableConnectionEvent = 9;
/** A USB network function came up (RNDIS, CDC Ethernet, CDC NCM). */
inline constexpr int32_t kNetworkFunctionEvent = 14;
/** What registering answers when it refuses; cancelling it cancels nothing. */
inline constexpr int32_t kNoHandle = 0;
} // namespace notification

/**
 * The platform's notification service: starts a program with a command line when a system event
 * occurs. A registration lives until it is cancelled by the handle that registering returned, and
 * fires only while the current time lies between its start and its end.
 */
class NotificationService
{
public:
    virtual ~NotificationService() = default;

    /** Registers application (a full path) with its arguments for event; a non-zero handle, or
     *  kNoHandle when the service refuses. */
    virtual int32_t registerApplication(int32_t event, const QString& application, const QString& arguments,
                                        const QDateTime& start, const QDateTime& end) = 0;
    /** Cancels a registration; an unknown handle or kNoHandle changes nothing. */
    virtual void cancel(int32_t handle) = 0;
};

} // namespace quantaro
