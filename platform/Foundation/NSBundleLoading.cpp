// Loading a bundle's code: one shared object per bundle, opened once with
// dlopen(RTLD_NOW | RTLD_LOCAL) and never closed.
#include <dlfcn.h>
#include <sys/stat.h>

#include "Foundation/FileSupport.h"
#include "Foundation/NSBundle.h"
#include "Foundation/NSClass.h"
#include "Foundation/NSClassLoading.h"
#include "Foundation/NSLog.h"
#include "Foundation/NSNumber.h"

using namespace FileSupport;

namespace {

bool isFile(const std::string& path)
{
    struct stat st { };
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

// The version an Info value names: a number or a string of digits.
NSInteger frameworkVersionOf(const Id& value)
{
    if (auto number = dynamic_ref_cast<NSNumber>(value)) return number->integerValue();
    if (auto text = dynamic_ref_cast<NSString>(value); text && text->length() > 0) return text->integerValue();
    return NSNotFound;
}

}  // namespace

Ref<NSString> NSBundle::executablePath() const
{
    auto name = dynamic_ref_cast<NSString>(infoDictionary()->objectForKey("CFBundleExecutable"_ns));
    if (!name || name->length() == 0) return nullptr;
    const std::string path = join(join(m_path, "Linux"), "lib" + std::string(name->UTF8String()) + ".so");
    return isFile(path) ? NSString::stringWithUTF8String(path.c_str()) : nullptr;
}

bool NSBundle::isLoaded() const
{
    if (this == mainBundle().get()) return true;
    std::lock_guard guard(m_lock);
    return m_codeState == CodeState::loaded;
}

bool NSBundle::load()
{
    if (this == mainBundle().get()) return true;
    {
        std::lock_guard guard(m_lock);
        if (m_codeState != CodeState::unloaded) return m_codeState == CodeState::loaded;
    }
    auto fail = [this](const Ref<NSString>& why) {
        NSLog("Cannot load the code of bundle %@: %@", bundlePath(), why);
        std::lock_guard guard(m_lock);
        m_codeState = CodeState::failed;
        return false;
    };
    auto executable = executablePath();
    if (!executable) return fail("no executable"_ns);
    const NSInteger version = frameworkVersionOf(infoDictionary()->objectForKey("PlumblineFrameworkVersion"_ns));
    if (version != NSBundleFrameworkVersion)
        return fail(NSString::stringWithFormat("built for framework version %@, not %ld",
                                               version == NSNotFound ? "(none)"_ns
                                                                     : NSString::stringWithFormat("%ld", long(version)),
                                               long(NSBundleFrameworkVersion)));

    void* handle = nullptr;
    std::string error;
    auto collected = NSClassCollectRegistrations([&] {
        handle = ::dlopen(executable->UTF8String().c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle)
            if (const char* text = ::dlerror()) error = text;
    });
    for (const NSClass* cls : collected.registered) registerClassBundle(cls->name(), m_path);
    if (!handle) return fail(NSString::stringWithUTF8String(error.c_str()));
    if (!collected.refused.empty()) {
        for (const auto& name : collected.refused)
            NSLog("class %@ already exists", NSString::stringWithUTF8String(name.c_str()));
        return fail("its classes clash with classes already loaded"_ns);
    }
    std::lock_guard guard(m_lock);
    m_classes = std::move(collected.registered);
    m_codeState = CodeState::loaded;
    return true;
}

const NSClass* NSBundle::classNamed(const Ref<NSString>& name)
{
    if (!name || !load()) return nullptr;
    const NSClass* cls = NSClass::named(name->UTF8String());
    if (!cls) return nullptr;
    if (this == mainBundle().get()) return cls;
    std::lock_guard guard(m_lock);
    return std::find(m_classes.begin(), m_classes.end(), cls) != m_classes.end() ? cls : nullptr;
}

const NSClass* NSBundle::principalClass()
{
    if (!load()) return nullptr;
    if (auto name = dynamic_ref_cast<NSString>(infoDictionary()->objectForKey("NSPrincipalClass"_ns)))
        return classNamed(name);
    std::lock_guard guard(m_lock);
    return m_classes.empty() ? nullptr : m_classes.front();
}
