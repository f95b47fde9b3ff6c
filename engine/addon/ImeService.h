#pragma once

#include <dbus/dbus.h>

#include <functional>
#include <string>
#include <vector>

// The IME service the settings tool calls, "com.kaiwoimeservice.hotel_"
// plus the display number, served on fcitx's own session-bus connection
// and main loop. The methods and their signatures come from the one
// interface description the stand-in service is generated from.
class ImeService
{
public:
    // Called with the method name and its string or integer argument; the
    // result is the boolean reply of methods that have one.
    using Handler =
        std::function<bool(const std::string &method, const std::string &text, int number)>;

    ImeService(DBusConnection *connection, Handler handler);
    ~ImeService();
    ImeService(const ImeService &) = delete;
    ImeService &operator=(const ImeService &) = delete;

    // Registers "/" and claims the name; false, with the reason, otherwise.
    bool start(int displayNumber, std::string *error);

    static const char *interfaceName() { return "com.kaiwoimebs_service.hotel"; }
    static std::string serviceName(int displayNumber);

private:
    struct Method {
        std::string name;
        char argument = 0; // 's', 'i' or 0
        bool repliesBool = false;
    };
    static std::vector<Method> parseInterface(const std::string &xml);
    static DBusHandlerResult dispatch(DBusConnection *connection, DBusMessage *message, void *self);
    DBusHandlerResult handle(DBusMessage *message);

    DBusConnection *mConnection;
    Handler mHandler;
    std::vector<Method> mMethods;
    std::string mName;
    bool mRegistered = false;
};
