// Dispatch table of the utility object: picks answered by the interaction provider.
#include "platform/cad/model/Commands.h"
#include "platform/cad/model/Support.h"

#include <QRegularExpression>

namespace cad {

namespace {

// A keyword typed at a pick: the full keyword or its leading part, case ignored.
QString matchKeyword(const QString& keywords, const QString& typed) {
    const QString k = KeywordOf(typed);
    if (k.isEmpty()) return QString();
    for (const QString& kw : keywords.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QString clean = kw.startsWith(QLatin1Char('_')) ? kw.mid(1) : kw;
        if (clean.toUpper().startsWith(k)) return clean;
    }
    return QString();
}

// Repeats a pick while the input does not fit: Enter under "no empty input", or a refused value.
Input pickUntil(Target& t, const InputRequest& rq, int bits, auto&& fits) {
    const QString keywords = t.rec.doc->keywords;
    for (int attempt = 0; attempt < 100; ++attempt) {
        InputRequest r = rq;
        if (attempt > 0) {
            // InitializeUserInput (bits and keywords) stays in force while the same pick is asked again.
            t.rec.doc->initBits = bits;
            t.rec.doc->keywords = keywords;
        }
        const Input in = t.model.pick(t.rec.doc, r);
        if (in.kind == Input::Enter && (bits & 1)) continue;
        if (fits(in)) return in;
    }
    throw Cancelled(QStringLiteral("Brak prawidłowej odpowiedzi"));
}

}  // namespace

std::unique_ptr<DispatchTable> MakeUtilityTable() {
    auto tb = std::make_unique<DispatchTable>(QStringLiteral("IAcadUtility"));
    tb->method(QStringLiteral("InitializeUserInput"),
               [](Target& t, Args a) -> Variant {
                   t.rec.doc->initBits = int(IntArg(a, 0));
                   t.rec.doc->keywords = HasArg(a, 1) ? TextArg(a, 1) : QString();
                   return {};
               })
        .method(QStringLiteral("GetPoint"),
                [](Target& t, Args a) -> Variant {
                    InputRequest rq;
                    rq.wanted = InputRequest::AnyPoint;
                    if (HasArg(a, 0)) rq.basePoint = Arg(a, 0).toPoint();
                    rq.prompt = HasArg(a, 1) ? TextArg(a, 1) : QString();
                    const int bits = t.rec.doc->initBits;
                    const QString keywords = t.rec.doc->keywords;
                    const Input in = pickUntil(t, rq, bits, [](const Input& i) {
                        return i.kind == Input::PointInput || i.kind == Input::EntityInput ||
                               i.kind == Input::TextInput || i.kind == Input::Enter;
                    });
                    if (in.kind == Input::Enter) throw Failed(QStringLiteral("Nic nie wpisano"));
                    if (in.kind == Input::TextInput) {
                        const QString kw = matchKeyword(keywords, in.text);
                        if (!kw.isEmpty()) {
                            t.rec.doc->lastInput = kw;
                            throw Failed(QStringLiteral("Wpisano słowo kluczowe"));
                        }
                        static const QRegularExpression xy(
                            QStringLiteral(R"(^\s*([-+0-9.eE]+)\s*,\s*([-+0-9.eE]+)\s*$)"));
                        const auto m = xy.match(in.text);
                        bool okx = false, oky = false;
                        const double x = m.captured(1).toDouble(&okx), y = m.captured(2).toDouble(&oky);
                        if (!m.hasMatch() || !okx || !oky)
                            throw InvalidArgument(QStringLiteral("Nieprawidłowy punkt"));
                        t.rec.doc->lastPoint = Point{x, y, 0};
                        return Variant(Point{x, y, 0});
                    }
                    return Variant(in.point);
                })
        .method(
            QStringLiteral("GetEntity"),
            [](Target& t, Args a) -> Variant {
                InputRequest rq;
                rq.wanted = InputRequest::AnEntity;
                rq.prompt = HasArg(a, 0) ? TextArg(a, 0) : QString();
                const Input in = pickUntil(t, rq, t.rec.doc->initBits, [](const Input&) { return true; });
                // A pick in empty space ends the pick as Escape does: the caller keeps its sentinel.
                if (in.kind != Input::EntityInput) throw Cancelled(QStringLiteral("Nic nie wskazano"));
                db::Entity* e = Db(t).entityByHandle(in.handle);
                if (!e) throw Cancelled(QStringLiteral("Nic nie wskazano"));
                // The pick answers the top-level entity: an attribute gives its block reference.
                if (db::Entity* owner = e->ownerReference()) e = owner;
                return Variant(VariantList{t.model.ref(t.model.entityId(t.rec.doc, e)), Variant(in.point)});
            })
        .method(QStringLiteral("GetKeyword"),
                [](Target& t, Args a) -> Variant {
                    InputRequest rq;
                    rq.wanted = InputRequest::AnyText;
                    rq.prompt = HasArg(a, 0) ? TextArg(a, 0) : QString();
                    const int bits = t.rec.doc->initBits;
                    const QString keywords = t.rec.doc->keywords;
                    QString found;
                    pickUntil(t, rq, bits, [&](const Input& i) {
                        if (i.kind == Input::Enter) return true;
                        if (i.kind != Input::TextInput) return false;
                        found = matchKeyword(keywords, i.text);
                        return !found.isEmpty();
                    });
                    t.rec.doc->lastInput = found;
                    return Variant(found);
                })
        .method(QStringLiteral("GetString"),
                [](Target& t, Args a) -> Variant {
                    InputRequest rq;
                    rq.wanted = InputRequest::AnyText;
                    rq.prompt = HasArg(a, 1) ? TextArg(a, 1) : QString();
                    const bool spaces = HasArg(a, 0) && BoolArg(a, 0);
                    const Input in = pickUntil(t, rq, t.rec.doc->initBits, [](const Input& i) {
                        return i.kind == Input::TextInput || i.kind == Input::Enter;
                    });
                    QString s = in.text;
                    if (!spaces) s = s.section(QLatin1Char(' '), 0, 0);
                    return Variant(s);
                })
        .method(QStringLiteral("GetInput"),
                [](Target& t, Args) -> Variant { return Variant(t.rec.doc->lastInput); })
        .method(QStringLiteral("Prompt"),
                [](Target& t, Args a) -> Variant {
                    t.model.lastPrompt = TextArg(a, 0);
                    return {};
                })
        .keepsDrawings();
    return tb;
}

}  // namespace cad
