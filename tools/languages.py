#!/usr/bin/env python3
# Writes data/English.lng (UTF-8) and data/Russian.lng (Windows-1251): 94 lines each,
# one interface text per line, found by its position:  python3 tools/languages.py data
import os
import sys

en = {1:"File",2:"New",3:"Pause",4:"Hall of Fame...",5:"Exit",6:"Options",7:"Speed",8:"Level",
9:"All sounds",10:"Background music",11:"Field setup...",12:"Slow",13:"Normal",14:"Fast",15:"More...",
16:'0: "Clean"',17:'1: "Minus"',18:'2: "Slit"',19:'3: "Lanes"',20:'4: "Plus"',21:'5: "Letter H"',
22:'6: "Pen"',23:'7: "Letter Zh"',24:'8: "Crosshair"',25:'9: "Corridor"',26:'10: "Zigzag"',
27:"Next level",28:"Open level pack...",29:"About...",32:"Help",34:"Select language...",
37:"Kestrum",38:"length",39:"level",40:"Food",41:"Life",42:"Crop",43:"Bonus",44:"Death",45:"Next",
46:"Speed",47:"1st",48:"2nd",49:"3rd",50:"Park",51:"Field setup",53:"Name",54:"Picture file",55:"Enter your name",56:"Hall of Fame",
57:"Clear",58:"Add picture",59:"Bonus",60:"Add",61:"Delete",62:"Open file",63:"About Kestrum",
66:"Double-click here",67:"Lives",68:"Apples eaten",69:"Level",70:"Length",71:"What lies on the field",
77:"A toadstool! The arrow keys are reversed for a while.",
78:"The toadstool has worn off: the arrow keys steer as usual again.",
79:"Clear the hall of fame?",81:"GAME OVER",82:"Use this skin from now on, also at the next start?",
83:"A snake arcade game: eat the apples, grow long and find the way out of every level.",
93:"Paused: press any key",94:"Press an arrow key to start"}
ru = {1:"Файл",2:"Новая игра",3:"Пауза",4:"Зал славы...",5:"Выход",6:"Настройки",7:"Скорость",8:"Уровень",
9:"Звуки",10:"Фоновая музыка",11:"Настройка поля...",12:"Медленно",13:"Нормально",14:"Быстро",15:"Другая...",
16:'0: "чисто"',17:'1: "минус"',18:'2: "щель"',19:'3: "полоса"',20:'4: "плюс"',21:'5: "буква Н"',
22:'6: "загон"',23:'7: "буква Ж"',24:'8: "прицел"',25:'9: "коридор"',26:'10: "зигзаг"',
27:"Следующий уровень",28:"Открыть набор уровней...",29:"О программе...",32:"Справка",34:"Выбрать язык...",
37:"Kestrum",38:"длина",39:"уровень",40:"Еда",41:"Жизнь",42:"Ножницы",43:"Бонус",44:"Смерть",45:"Выход",
46:"Скорость",47:"1-я",48:"2-я",49:"3-я",50:"Стоп",51:"Настройка поля",53:"Имя",54:"Файл картинки",55:"Введите своё имя",56:"Зал славы",
57:"Очистить",58:"Добавить картинку",59:"Бонус",60:"Добавить",61:"Удалить",62:"Открыть файл",63:"О программе Kestrum",
66:"Щёлкните дважды",67:"Жизни",68:"Съедено яблок",69:"Уровень",70:"Длина",71:"Что бывает на поле",
77:"Поганка! Стрелки на время поменялись местами.",
78:"Поганка больше не действует: стрелки снова работают как обычно.",
79:"Очистить зал славы?",81:"КОНЕЦ ИГРЫ",82:"Оставить это оформление и при следующем запуске?",
83:"Аркадная игра про змейку: ешьте яблоки, растите и находите выход с каждого уровня.",
93:"Пауза: нажмите любую клавишу",94:"Нажмите стрелку, чтобы начать"}
for name, table, enc in (("English.lng", en, "utf-8"), ("Russian.lng", ru, "cp1251")):
    lines = []
    for n in range(1, 95):
        t = table.get(n, "")
        longest = 40 if n > 92 else 20 if n == 81 else 150 if n == 83 else 100 if n in (72, 76, 77, 78, 79, 80, 82) else 40
        assert len(t) <= longest, (name, n, t)
        lines.append(t)
    data = ("\r\n".join(lines) + "\r\n").encode(enc)
    open(os.path.join(sys.argv[1] if len(sys.argv) > 1 else "data", name), "wb").write(data)
    print(name, len(lines), len(data))
