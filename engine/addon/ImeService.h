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
    // A method call with its string and integer arguments, in order; a
    // method that replies with a string answers in reply.
    struct Call {
        std::string method;
        std::vector<std::string> texts;
        int number = 0;
        std::string reply;
    };
    // The result is the boolean reply of methods that have one.
    using Handler = std::function<bool(Call &call)>;

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
        std::string arguments; // D-Bus types of the arguments: "s", "ss", "i"...
        char reply = 0;        // 'b', 's' or 0
    };
    // The call's arguments as the method declares them; false on a mismatch.
    static bool readArguments(DBusMessage *message, const Method &method, Call *call);
    static std::vector<Method> parseInterface(const std::string &xml);
    static DBusHandlerResult dispatch(DBusConnection *connection, DBusMessage *message, void *self);
    DBusHandlerResult handle(DBusMessage *message);

    DBusConnection *mConnection;
    Handler mHandler;
    std::vector<Method> mMethods;
    std::string mName;
    bool mRegistered = false;
};
