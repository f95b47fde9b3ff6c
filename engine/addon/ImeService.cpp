#include "ImeService.h"

#include "ImeServiceInterface.h" // kImeServiceInterfaceXml, generated at build time

namespace
{

std::string attribute(const std::string &tag, const char *name)
{
    const std::string key = std::string(name) + "=\"";
    const size_t start = tag.find(key);
    if (start == std::string::npos)
        return std::string();
    const size_t end = tag.find('"', start + key.size());
    return end == std::string::npos ? std::string()
                                    : tag.substr(start + key.size(), end - start - key.size());
}

} // namespace

ImeService::ImeService(DBusConnection *connection, Handler handler)
    : mConnection(connection), mHandler(std::move(handler)),
      mMethods(parseInterface(kImeServiceInterfaceXml))
{
}

ImeService::~ImeService()
{
    if (!mConnection)
        return;
    if (!mName.empty())
        dbus_bus_release_name(mConnection, mName.c_str(), nullptr);
    if (mRegistered)
        dbus_connection_unregister_object_path(mConnection, "/");
}

std::string ImeService::serviceName(int displayNumber)
{
    return "com.kaiwoimeservice.hotel_" + std::to_string(displayNumber);
}

std::vector<ImeService::Method> ImeService::parseInterface(const std::string &xml)
{
    std::vector<Method> methods;
    size_t at = 0;
    while ((at = xml.find('<', at)) != std::string::npos) {
        const size_t end = xml.find('>', at);
        if (end == std::string::npos)
            break;
        const std::string tag = xml.substr(at, end - at + 1);
        at = end;
        if (tag.compare(0, 8, "<method ") == 0) {
            methods.push_back({attribute(tag, "name")});
        } else if (tag.compare(0, 5, "<arg ") == 0 && !methods.empty()) {
            const std::string type = attribute(tag, "type");
            if (attribute(tag, "direction") == "out")
                methods.back().repliesBool = type == "b";
            else if (type == "s" || type == "i")
                methods.back().argument = type[0];
        }
    }
    return methods;
}

bool ImeService::start(int displayNumber, std::string *error)
{
    if (!mConnection) {
        *error = "no session bus connection";
        return false;
    }
    static const DBusObjectPathVTable vtable = {
        nullptr, &ImeService::dispatch, nullptr, nullptr, nullptr, nullptr};
    if (!dbus_connection_register_object_path(mConnection, "/", &vtable, this)) {
        *error = "cannot register the object /";
        return false;
    }
    mRegistered = true;
    DBusError dbusError;
    dbus_error_init(&dbusError);
    const std::string name = serviceName(displayNumber);
    const int result =
        dbus_bus_request_name(mConnection, name.c_str(), DBUS_NAME_FLAG_DO_NOT_QUEUE, &dbusError);
    if (result != DBUS_REQUEST_NAME_REPLY_PRIMARY_OWNER) {
        *error = "cannot own " + name +
                 (dbus_error_is_set(&dbusError) ? std::string(": ") + dbusError.message
                                                : std::string(" (owned by another process)"));
        dbus_error_free(&dbusError);
        return false;
    }
    mName = name;
    return true;
}

DBusHandlerResult ImeService::dispatch(DBusConnection *, DBusMessage *message, void *self)
{
    return static_cast<ImeService *>(self)->handle(message);
}

DBusHandlerResult ImeService::handle(DBusMessage *message)
{
    if (dbus_message_get_type(message) != DBUS_MESSAGE_TYPE_METHOD_CALL)
        return DBUS_HANDLER_RESULT_NOT_YET_HANDLED;
    const char *interface = dbus_message_get_interface(message);
    const std::string member = dbus_message_get_member(message);
    DBusMessage *reply = nullptr;
    if (dbus_message_is_method_call(message, DBUS_INTERFACE_INTROSPECTABLE, "Introspect")) {
        reply = dbus_message_new_method_return(message);
        const char *xml = kImeServiceInterfaceXml;
        dbus_message_append_args(reply, DBUS_TYPE_STRING, &xml, DBUS_TYPE_INVALID);
    } else if (!interface || interfaceName() == std::string(interface)) {
        for (const Method &method : mMethods) {
            if (method.name != member)
                continue;
            const char *text = "";
            dbus_int32_t number = 0;
            DBusError error;
            dbus_error_init(&error);
            const bool argsOk =
                method.argument == 's'   ? dbus_message_get_args(message, &error, DBUS_TYPE_STRING,
                                                                 &text, DBUS_TYPE_INVALID)
                : method.argument == 'i' ? dbus_message_get_args(message, &error, DBUS_TYPE_INT32,
                                                                 &number, DBUS_TYPE_INVALID)
                                         : true;
            if (!argsOk) {
                reply = dbus_message_new_error(message, DBUS_ERROR_INVALID_ARGS,
                                               error.message ? error.message : "bad arguments");
                dbus_error_free(&error);
                break;
            }
            const dbus_bool_t result = mHandler(method.name, text, number) ? TRUE : FALSE;
            reply = dbus_message_new_method_return(message);
            if (method.repliesBool)
                dbus_message_append_args(reply, DBUS_TYPE_BOOLEAN, &result, DBUS_TYPE_INVALID);
            break;
        }
    }
    if (!reply)
        reply = dbus_message_new_error(message, DBUS_ERROR_UNKNOWN_METHOD,
                                       ("no method " + member).c_str());
    dbus_connection_send(mConnection, reply, nullptr);
    dbus_message_unref(reply);
    return DBUS_HANDLER_RESULT_HANDLED;
}
