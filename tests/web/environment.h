#pragma once
// Sets and removes environment variables for the helpers started while it
// lives, and puts them back as they were when it goes.

#include <QByteArray>
#include <QList>
#include <QtGlobal>

class Environment {
public:
    void set(const char* name, const QByteArray& value) {
        save(name);
        qputenv(name, value);
    }
    void unset(const char* name) {
        save(name);
        qunsetenv(name);
    }
    ~Environment() {
        for (auto it = saved_.crbegin(); it != saved_.crend(); ++it) {
            if (it->wasSet)
                qputenv(it->name, it->value);
            else
                qunsetenv(it->name);
        }
    }

private:
    void save(const char* name) { saved_.append({name, qgetenv(name), qEnvironmentVariableIsSet(name)}); }
    struct Saved {
        const char* name;
        QByteArray value;
        bool wasSet;
    };
    QList<Saved> saved_;
};
