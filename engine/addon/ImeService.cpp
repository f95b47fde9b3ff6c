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
            methods.push_back({attribute(tag, "name"), {}, 0});
        } else if (tag.compare(0, 5, "<arg ") == 0 && !methods.empty()) {
            const std::string type = attribute(tag, "type");
            if (attribute(tag, "direction") == "out")
                methods.back().reply = type == "b" || type == "s" ? type[0] : 0;
            else
                methods.back().arguments += type;
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

bool ImeService::readArguments(DBusMessage *message, const Method &method, Call *call)
{
    DBusMessageIter args;
    const bool any = dbus_message_iter_init(message, &args);
    std::string types;
    for (bool more = any; more; more = dbus_message_iter_next(&args)) {
        const int type = dbus_message_iter_get_arg_type(&args);
        types += char(type);
        if (type == DBUS_TYPE_STRING) {
            const char *text = nullptr;
            dbus_message_iter_get_basic(&args, &text);
            call->texts.emplace_back(text);
        } else if (type == DBUS_TYPE_INT32) {
            dbus_int32_t number = 0;
            dbus_message_iter_get_basic(&args, &number);
            call->number = number;
        }
    }
    return types == method.arguments;
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
            Call call{method.name, {}, 0, {}};
            if (!readArguments(message, method, &call)) {
                reply = dbus_message_new_error(
                    message, DBUS_ERROR_INVALID_ARGS,
                    ("arguments of " + member + " must be " + method.arguments).c_str());
                break;
            }
            const dbus_bool_t result = mHandler(call) ? TRUE : FALSE;
            reply = dbus_message_new_method_return(message);
            // D-Bus takes valid UTF-8 only; the handler's text is checked.
            const char *text =
                dbus_validate_utf8(call.reply.c_str(), nullptr) ? call.reply.c_str() : "";
            if (method.reply == 'b')
                dbus_message_append_args(reply, DBUS_TYPE_BOOLEAN, &result, DBUS_TYPE_INVALID);
            else if (method.reply == 's')
                dbus_message_append_args(reply, DBUS_TYPE_STRING, &text, DBUS_TYPE_INVALID);
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
