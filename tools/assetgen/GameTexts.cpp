#include "GameTexts.h"

#include "IniText.h"
#include "Version.h"

namespace wf::assetgen {

QStringList GameIniLines(const QStringList& modNames) {
    IniText ini;
    ini.Comment(QStringLiteral("Einstellungen von Wolkenfang"));
    ini.Section("game");
    ini.Key("werbung", QStringLiteral("Sturmwerk Spiele"));
    ini.Key("sound", "mod");
    ini.Key("music", "mod");
    ini.Section("Mods");
    ini.Key("ModAnzahl", static_cast<int>(modNames.size()));
    for (int k = 0; k < modNames.size(); ++k)
        ini.Key(QStringLiteral("ModName%1").arg(k + 1), modNames[k]);
    return ini.Lines();
}

QStringList InfoTextLines() {
    // The heading and the newest entry of the history are this release.
    const QString heading = QLatin1String(kTitleText);
    QStringList lines =
        QStringLiteral(
            R"(%1
%2

Ein Spiel von Sturmwerk Spiele


SO WIRD GESPIELT
----------------

Über den Himmel fliegen immer drei Vögel. Schießen Sie in der
vorgegebenen Zeit so viele davon ab, wie Sie können.

- Zielen: Das Fadenkreuz folgt der Maus. Getroffen wird, was in
  der Mitte des Fadenkreuzes liegt.
- Schießen: Lassen Sie die linke Maustaste los.
- Nachladen: Das Magazin fasst 6 Schuss. Ist es leer, lädt die
  rechte Maustaste es wieder auf 6 Schuss auf. Die verbliebenen
  Patronen sehen Sie unten rechts.
- Punkte: Jeder Schuss kostet 2 Punkte, jeder getroffene Vogel
  bringt 7 Punkte. Daneben zu schießen lohnt sich also nicht!
- Extras: Auf den Hintergründen eines MODs stehen Extras, zum
  Beispiel eine Flasche auf dem Zaunpfahl oder ein Heißluftballon.
  Wer sie trifft, bekommt die Punkte, die der MOD für sie vorsieht
  (meist 15). Manche Extras sind immer zu sehen, andere tauchen nur
  ab und zu auf. Manche verschwinden nach einem Treffer, andere
  bleiben stehen; die zahlen meist nur den Schuss zurück.

Spiellänge: Im Menü "Optionen" wählen Sie 0:30, 1:00 oder 2:00
Minuten. Für jede dieser drei Spiellängen gibt es eine eigene
Highscore-Liste mit vier Plätzen. Wer einen Platz erreicht, wird
nach seinem Namen gefragt und kann sein Ergebnis auch auf der
Highscore-Seite im Internet eintragen.

Benutzerdefinierter Modus: Hier stellen Sie die Spielzeit
(0:10 bis 6:00 Minuten) und die Bilder pro Sekunde (5 bis 100)
selbst ein. Für diesen Modus gibt es keine Highscore.

Hintergründe: Wählen Sie einen der Hintergründe des MODs oder ein
eigenes Bild. Ein eigenes Bild muss mindestens so breit wie das
Wolkenfang-Logo und mindestens so hoch wie die kleine Grafik 1.jpg
sein und auf den Bildschirm passen. Auf eigenen Bildern gibt es
keine Extras.

MODs: Über "Mod wechseln..." starten Sie Wolkenfang mit einem
anderen MOD neu. Mitgeliefert werden "wolkfng4" (Sommer) und
"nachtflug" (Nacht). Mit dem Programm modsiegel im Unterordner
"modsiegel" können Sie eigene MODs versiegeln.


VERSIONSGESCHICHTE
------------------

%3
  - Zweiter MOD "Nachtflug" mit Stadt, Sternenhügeln und Hafen
  - Vollbildmodus rechnet alle Positionen genau um
  - Fehler behoben: Extras wurden nach einem Neustart manchmal
    nicht mehr angezeigt

4.00 Alpha 2.0
  - Versiegelte MODs (.cod-Dateien) und das Programm modsiegel
  - MOD-Verwaltung im Menü "Optionen"

4.00 Alpha 1.0
  - Alles neu: MODs mit bis zu zehn Hintergründen und je fünf Extras
  - Musik und Schussgeräusch kommen aus dem MOD

3.63 Release C
  - Online-Highscore
  - Letzte Version mit festen Hintergründen

3.0
  - Benutzerdefinierter Modus mit einstellbaren Bildern pro Sekunde
  - Drei Highscore-Listen statt einer

2.5
  - Neue Hintergründe, Musik im Spiel

2.0
  - Eigene Bitmaps als Hintergrund

1.4
  - Nachladen mit der rechten Maustaste

1.0
  - Die erste Version: ein Vogel, ein Hintergrund, eine Minute


MITARBEITER
-----------

Programmierung :  Jonas Feldhaus, Mira Steinbrecher
Grafik :          Lotte Quast
Sound & Musik :   Henrik Albers
Beta Tester :     Paul Wendland, Svenja Kortmann, Ole Brinkhaus,
                  Greta Möllenkamp

Vielen Dank an alle, die Fehler gemeldet und Ideen geschickt haben!


Viel Spaß beim Spielen!
)")
            .arg(heading, QString(heading.size(), QChar('=')), QLatin1String(kReleaseText))
            .split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

}  // namespace wf::assetgen
